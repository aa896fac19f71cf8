// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

// One axis of the grid, its rows or its columns, as laid out on screen: the size of
// every line in pixels (0 for a hidden line), the fixed lines at the start that stay
// in place, and the first of the scrolled lines shown after them. Positions count
// pixels from the start of the viewport; `extent` is the viewport's size along the
// axis.
class GridAxis {
public:
    // A line as shown: its index, where it starts and its size.
    struct Line {
        int index = 0;
        int pos = 0;
        int size = 0;
    };
    // What a position points at: the line that holds it, and the line whose far
    // border lies within grip distance of it (-1 for none).
    struct Hit {
        int line = -1;
        int border = -1;
    };
    // Pixels either side of a line's far border that still grab it.
    static constexpr int Grip = 3;

    void setSizes(std::vector<int> sizes) { m_sizes = std::move(sizes); }
    int count() const { return int(m_sizes.size()); }
    int size(int line) const;
    // The number of fixed lines; more than there are lines counts as all of them.
    void setFixed(int lines) { m_fixed = lines; }
    int fixed() const;
    // The first scrolled line shown, set as it is; scrollTo() keeps it in range.
    int first() const { return m_first; }
    void setFirst(int line) { m_first = line; }

    int fixedSize() const;
    int totalSize() const;
    // Where a line starts; -1 for a scrolled line before the first shown.
    int position(int line) const;
    // The lines on screen in order, hidden ones left out: the fixed ones, then the
    // scrolled ones from the first that start within `extent`.
    std::vector<Line> shown(int extent) const;
    // The fixed lines are searched first; the scrolled ones where `pos` lies past
    // them or no fixed line holds it. Borders are found only where `grip` is true.
    Hit hitTest(int pos, int extent, bool grip) const;

    // The last first line that still fills the extent; never before the fixed lines.
    int maxFirst(int extent) const;
    // How many scrolled lines from the first fit whole within the extent.
    int fitting(int extent) const;
    // Sets the first line, kept between the fixed lines and maxFirst().
    void scrollTo(int line, int extent);
    // Moves the first line as little as needed for a scrolled line to be shown
    // whole (or from its start, where it is larger than the space).
    void bringIntoView(int line, int extent);
    // The line `steps` shown scrolled lines away (back where negative), stopping at
    // the last one there is; hidden lines are passed over.
    int step(int line, int steps) const;

private:
    void scan(int from, int to, int start, int pos, int limit, bool grip, Hit& hit) const;

    std::vector<int> m_sizes;
    int m_fixed = 0;
    int m_first = 0;
};
