// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <optional>

// The program's clock. Every "today" and "now" goes through Clock::now(), so that
// tests and DAYLOG_NOW can fix the date while the clock still runs on.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    static const Clock& instance();
    // Installs a clock for the whole program; nullptr restores the system clock.
    static void install(std::unique_ptr<Clock> clock);

    static QDateTime currentDateTime() { return instance().now(); }
    static QDate today() { return instance().now().date(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// Starts at a given moment and runs on in real time from there.
class OffsetClock : public Clock {
public:
    explicit OffsetClock(const QDateTime& start);
    QDateTime now() const override;

private:
    QDateTime m_start;
    QElapsedTimer m_elapsed;
};

// Parses a DAYLOG_NOW value, "YYYY-MM-DDTHH:MM:SS"; nullopt when malformed.
std::optional<QDateTime> parseDaylogNow(const QString& value);

// Reads DAYLOG_NOW and installs an OffsetClock from it. Returns false (and sets
// `error` to a message for stderr) when the variable is set but malformed.
bool installClockFromEnvironment(QString* error);
