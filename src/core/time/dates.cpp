// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/time/dates.h"

#include <algorithm>
#include <array>

namespace Dates {

QDate make(int year, int month, int day) {
    // Carry surplus months into the year first, then surplus days into the month.
    int m0 = month - 1;
    year += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    m0 = ((m0 % 12) + 12) % 12;
    const QDate first(year, m0 + 1, 1);
    if (!first.isValid())
        return {};
    return first.addDays(day - 1);
}

int weekday(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

QString weekdayLetter(const QDate& d) {
    static const std::array<QString, 7> letters = {
        QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")};
    if (!d.isValid())
        return {};
    return letters[weekday(d) - 1];
}

QString toStoreText(const QDate& d) {
    if (!d.isValid())
        return {};
    // Hand-made rather than QDate::toString: this runs 366 times for every new year.
    const int y = d.year(), m = d.month(), dd = d.day();
    QString s(10, u'0');
    s[0] = QChar(u'0' + (y / 1000) % 10);
    s[1] = QChar(u'0' + (y / 100) % 10);
    s[2] = QChar(u'0' + (y / 10) % 10);
    s[3] = QChar(u'0' + y % 10);
    s[4] = u'/';
    s[5] = QChar(u'0' + m / 10);
    s[6] = QChar(u'0' + m % 10);
    s[7] = u'/';
    s[8] = QChar(u'0' + dd / 10);
    s[9] = QChar(u'0' + dd % 10);
    return s;
}

QDate fromStoreText(QStringView text) {
    text = text.trimmed();
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            if (++digits[part] > 4)
                return {};
            parts[part] = parts[part] * 10 + (c.unicode() - u'0');
        } else {
            if (digits[part] == 0 || part == 2)
                return {};
            ++part;
        }
    }
    if (part != 2 || digits[0] != 4 || digits[1] == 0 || digits[1] > 2 || digits[2] == 0 ||
        digits[2] > 2)
        return {};
    return QDate(parts[0], parts[1], parts[2]);
}

QDate yearOrigin(int baseYear) {
    return QDate(baseYear, 3, 31);
}

int rowOfDate(const QDate& d, int baseYear) {
    return static_cast<int>(yearOrigin(baseYear).daysTo(d));
}

QDate dateOfRow(int row, int baseYear) {
    return yearOrigin(baseYear).addDays(row);
}

qint64 numericValue(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\u3000'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value > (Q_INT64_C(1) << 53))
            break; // far beyond any value the program stores; stop before overflow
        value = value * 10 + (text[i].unicode() - u'0');
    }
    return negative ? -value : value;
}

} // namespace Dates

Dates::Period Dates::monthInYear(const QDate& d, int baseYear) {
    const QDate yearFirst(baseYear, 4, 1), yearLast(baseYear + 1, 3, 31);
    const QDate day = std::clamp(d.isValid() ? d : yearFirst, yearFirst, yearLast);
    const QDate first(day.year(), day.month(), 1);
    return {std::max(first, yearFirst), std::min(first.addMonths(1).addDays(-1), yearLast)};
}
