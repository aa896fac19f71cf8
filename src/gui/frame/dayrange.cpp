// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/dayrange.h"

#include "core/store/appstate.h"
#include "core/time/dates.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>

using namespace Qt::StringLiterals;

DayRange::DayRange(const QString& between, QWidget* parent) : QWidget(parent) {
    auto picker = [this](const QString& name, const QString& spoken) {
        auto* p = new QDateEdit(this);
        p->setObjectName(name);
        p->setAccessibleName(spoken);
        p->setCalendarPopup(true);
        p->setDisplayFormat(u"yyyy/MM/dd"_s);
        return p;
    };
    m_from = picker(u"DTPicker1"_s, u"開始日"_s);
    m_to = picker(u"DTPicker2"_s, u"終了日"_s);
    auto* label = new QLabel(between, this);
    label->setObjectName(u"Label1"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_from);
    row->addWidget(label);
    row->addWidget(m_to);
}

void DayRange::setYear(int baseYear, const QDate& first, const QDate& last) {
    m_baseYear = baseYear;
    for (QDateEdit* p : {m_from, m_to})
        p->setDateRange(QDate(baseYear, 4, 1), QDate(baseYear + 1, 3, 31));
    m_from->setDate(first);
    m_to->setDate(last);
}

bool DayRange::isYear(int baseYear) const {
    return m_baseYear == baseYear;
}

int DayRange::firstRow() const {
    return Dates::rowOfDate(m_from->date(), m_baseYear);
}

int DayRange::lastRow() const {
    return Dates::rowOfDate(m_to->date(), m_baseYear);
}

void DayRange::pickYear(const AppState& app) {
    setYear(app.baseYear(), QDate(app.baseYear(), 4, 1), app.currentDate());
}

void DayRange::pickWholeYear(const AppState& app) {
    setYear(app.baseYear(), QDate(app.baseYear(), 4, 1), QDate(app.baseYear() + 1, 3, 31));
}
