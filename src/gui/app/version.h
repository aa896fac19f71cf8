// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// "ﾊﾞｰｼﾞｮﾝ 0.1.0": shown by the splash and the version message.
inline QString versionText() {
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
        .arg(DAYLOG_VERSION_MAJOR)
        .arg(DAYLOG_VERSION_MINOR)
        .arg(DAYLOG_VERSION_PATCH);
}
