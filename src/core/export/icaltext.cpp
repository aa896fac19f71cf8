// SPDX-License-Identifier: GPL-3.0-or-later
// What a reader gets back of the export's texts.
#include "core/calendar/holidays.h"
#include "core/export/icalendar.h"

using namespace Qt::StringLiterals;

namespace ICalendar {

QString plainText(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u'\n';
        } else if (c == u'\n' || c == u'\t') {
            out += c;
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            continue;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += u'?';
        } else {
            out += c;
        }
    }
    return out;
}

qsizetype holidayLength(QStringView events, const QDate& day) {
    const QString holiday = Holiday_Get(day);
    if (holiday.isEmpty() || !events.startsWith(holiday))
        return 0;
    const QStringView rest = events.sliced(holiday.size());
    if (rest.isEmpty())
        return holiday.size();
    if (rest.startsWith(u"\r\n"))
        return holiday.size() + 2;
    if (rest.startsWith(u'\n') || rest.startsWith(u'\r'))
        return holiday.size() + 1;
    return 0; // the name is part of a longer first line the user wrote
}

} // namespace ICalendar
