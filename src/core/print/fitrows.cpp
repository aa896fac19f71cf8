// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/print/fitrows.h"

#include "core/grid/gridmodel.h"

int Grid_FitRows(const GridModel& grid, int heightTwips) {
    long long sum = 0;
    for (int r = 0; r < grid.rows(); ++r) {
        sum += grid.rowHeight(r);
        if (heightTwips <= sum)
            return r - grid.fixedRows() - 1;
    }
    return grid.rows();
}
