// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// ToDo day strings for tests.

#include "core/todo/todostring.h"

// `n` open items at 10:00.
inline QString openItems(int n) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += ToDo_ItemString(false, QStringLiteral("10:00"), QStringLiteral("普通"),
                             QStringLiteral("用事"));
    return s;
}
