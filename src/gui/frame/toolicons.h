// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// Toolbar images, drawn in code at whatever size and scale they are shown.
enum class ToolIcon {
    None,
    Print,
    Cut,
    Copy,
    Paste,
    TextColor,
    BackColor,
    ToDoList,
    RecordStats,
    ItemStats,
    Calendar,
    Weekly,
    Monthly,
    Annual,
    Diary,
    Sort,
    New,
    Open,
    Save,
    PasteAdd,
    Search,
    Count,
};

QIcon toolIcon(ToolIcon icon);
