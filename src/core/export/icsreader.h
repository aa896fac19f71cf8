// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/export/icsimport.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

// What an iCalendar file puts on the days of one document year, before it meets the
// year's own texts (icsimport.cpp merges it in).
struct IcsEntry {
    enum Kind { Event, Slot, ToDo, Record } kind = Event;
    int row = 0;      // store row of the day
    int slot = 0;     // Slot: 0..6
    QString text;     // Event: the line; Slot: the title line; ToDo: the task; Record: the block
    QString content;  // Slot: the content line
    QString time;     // ToDo: "hh:mm" or empty
    QString category; // ToDo
    bool done = false;
};

struct IcsReading {
    std::vector<IcsEntry> entries;
    // outside, undated, empty, cancelled and unsupported are counted here.
    IcsImportSummary counts;
};

// Reads `bytes` with libical. False, with the reason in Japanese, for a file that is
// not iCalendar or holds a line or value that cannot be read.
bool IcsRead(QByteArrayView bytes, int baseYear, IcsReading& out, QString* error);

// The time slot (0..6) of a start at `hour` (0..23), and whether it goes to the day
// before (0:00 to 3:00 is the 24〜 slot of the day before).
int IcsSlotOfHour(int hour, bool* dayBefore);
