// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

#include <optional>

class YearStore;

// The messages the notification area shows for today's earliest open timed ToDo
// item: one when it comes within 30 minutes and one when it is due, the moments the
// clock turns magenta and red. Each item is announced once for each of the two.
class Reminders {
public:
    struct Message {
        QString title;
        QString text;  // "10:00　会議"
        int level = 0; // AlarmHalfHour or AlarmPast
    };

    // The message to show at `now`, if one is due and has not been shown yet (it then
    // counts as shown).
    std::optional<Message> check(const QDateTime& now, const YearStore& store, int baseYear);

private:
    QSet<QString> m_announced;
};
