// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/time/clock.h"

#include <QRegularExpression>

namespace {
std::unique_ptr<Clock>& current() {
    static std::unique_ptr<Clock> clock = std::make_unique<SystemClock>();
    return clock;
}
} // namespace

const Clock& Clock::instance() {
    return *current();
}

void Clock::install(std::unique_ptr<Clock> clock) {
    current() = clock ? std::move(clock) : std::make_unique<SystemClock>();
}

OffsetClock::OffsetClock(const QDateTime& start) : m_start(start) {
    m_elapsed.start();
}

QDateTime OffsetClock::now() const {
    return m_start.addMSecs(m_elapsed.elapsed());
}

std::optional<QDateTime> parseDaylogNow(const QString& value) {
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})")));
    const auto m = form.match(value);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

bool installClockFromEnvironment(QString* error) {
    if (!qEnvironmentVariableIsSet("DAYLOG_NOW"))
        return true;
    const QString value = qEnvironmentVariable("DAYLOG_NOW");
    const auto at = parseDaylogNow(value);
    if (!at) {
        if (error)
            *error = QStringLiteral("DAYLOG_NOW の値 \"%1\" は日時ではありません。"
                                    "YYYY-MM-DDTHH:MM:SS の形で指定してください"
                                    " (例: 2006-02-10T09:30:00)。")
                         .arg(value);
        return false;
    }
    Clock::install(std::make_unique<OffsetClock>(*at));
    return true;
}
