// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/carrydialog.h"

#include "core/store/appstate.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/modaldialog.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// What tells an item from another across refills of the list.
QString itemKey(const CarryItem& c) {
    return Dates::toStoreText(c.date) + u'\x1f' + c.time + u'\x1f' + c.category + u'\x1f' + c.text;
}

// A list row: "2006/03/02(木)  10:00  重要  報告書", the time and category left out
// where they are empty.
QString rowText(const CarryItem& c) {
    QStringList parts{Dates::toStoreText(c.date) + u'(' + Dates::weekdayLetter(c.date) + u')'};
    if (!c.time.isEmpty())
        parts.append(c.time);
    if (!c.category.isEmpty())
        parts.append(c.category);
    parts.append(c.text);
    return parts.join(u"  "_s);
}

} // namespace

CarryDialog::CarryDialog(const YearStore& old, const QString& oldName, int newBaseYear,
                         QWidget* parent)
    : QDialog(parent), m_old(old) {
    setObjectName(u"ToDo繰り越し"_s);
    setWindowTitle(u"ToDoの繰り越し"_s);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const int oldYear = Carry_BaseYear(old);

    auto* intro = new QLabel(u"「%1」（%2年度）の未完了のToDoを、新しい%3年度の %4 に繰り越します。"
                             u"繰り越さないものはチェックを外してください。"_s.arg(oldName)
                                 .arg(oldYear)
                                 .arg(newBaseYear)
                                 .arg(Dates::toStoreText(QDate(newBaseYear, 4, 1))),
                             this);
    intro->setWordWrap(true);

    auto* sinceLabel = new QLabel(u"この日以降の未完了のToDo(&D):"_s, this);
    m_since = new QDateEdit(this);
    m_since->setObjectName(u"繰り越し開始日"_s);
    m_since->setAccessibleName(u"この日以降の未完了のToDo"_s);
    m_since->setDisplayFormat(u"yyyy/MM/dd"_s);
    m_since->setCalendarPopup(true);
    m_since->setDateRange(QDate(oldYear, 4, 1), QDate(oldYear + 1, 3, 31));
    m_since->setDate(Carry_DefaultSince(oldYear));
    sinceLabel->setBuddy(m_since);

    m_list = new QListWidget(this);
    m_list->setObjectName(u"繰り越すToDo"_s);
    m_list->setAccessibleName(u"繰り越すToDo"_s);
    m_list->setAccessibleDescription(
        u"チェックしたToDoを繰り越します。Spaceキーでチェックを切り替えます。"_s);
    m_list->setMinimumSize(460, 220);

    m_count = new QLabel(this);
    m_count->setObjectName(u"繰り越す数"_s);

    m_carry = new QPushButton(u"繰り越す"_s, this);
    m_carry->setObjectName(u"繰り越す"_s);
    m_carry->setAccessibleName(u"繰り越す"_s);
    m_carry->setDefault(true);
    m_skip = new QPushButton(u"繰り越さない"_s, this);
    m_skip->setObjectName(u"繰り越さない"_s);
    m_skip->setAccessibleName(u"繰り越さない"_s);

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(sinceLabel);
    dateRow->addWidget(m_since);
    dateRow->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_count, 1);
    buttons->addWidget(m_carry);
    buttons->addWidget(m_skip);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addWidget(intro);
    layout->addLayout(dateRow);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_since, &QDateEdit::dateChanged, this, &CarryDialog::refill);
    connect(m_list, &QListWidget::itemChanged, this, &CarryDialog::itemTicked);
    connect(m_carry, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_skip, &QPushButton::clicked, this, &QDialog::reject);

    refill();
    m_list->setFocus();
    adjustSize();
}

void CarryDialog::refill() {
    m_items = Carry_OpenItems(m_old, m_since->date());
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const CarryItem& c : m_items) {
        auto* row = new QListWidgetItem(rowText(c), m_list);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(m_unticked.contains(itemKey(c)) ? Qt::Unchecked : Qt::Checked);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    countTicks();
}

void CarryDialog::itemTicked() {
    for (int i = 0; i < m_list->count(); ++i) {
        const QString key = itemKey(m_items[size_t(i)]);
        if (m_list->item(i)->checkState() == Qt::Checked)
            m_unticked.remove(key);
        else
            m_unticked.insert(key);
    }
    countTicks();
}

void CarryDialog::countTicks() {
    const qsizetype ticked = qsizetype(chosen().size());
    if (m_list->count() == 0)
        m_count->setText(u"この日以降の未完了のToDoはありません。"_s);
    else
        m_count->setText(u"%1件のうち %2件を繰り越します。"_s.arg(m_list->count()).arg(ticked));
    m_carry->setEnabled(ticked > 0);
}

std::vector<CarryItem> CarryDialog::chosen() const {
    std::vector<CarryItem> out;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            out.push_back(m_items[size_t(i)]);
    return out;
}

std::vector<CarryItem> Carry_Ask(QWidget* parent, const AppState& app, int newBaseYear) {
    QList<Document*> candidates = app.documents();
    // The current document is asked about first.
    candidates.prepend(&app.doc());
    for (const Document* doc : candidates) {
        if (!Carry_IsYearBefore(doc->baseYear(), newBaseYear) || !Carry_HasOpenItems(doc->store()))
            continue;
        CarryDialog dialog(doc->store(), doc->displayName(), newBaseYear, parent);
        if (ModalDialog::run(dialog) != QDialog::Accepted)
            return {};
        return dialog.chosen();
    }
    return {};
}

bool Carry_Into(QWidget* parent, YearStore& year, const std::vector<CarryItem>& items) {
    if (items.empty())
        return false;
    const CarryResult r = Carry_Add(year, items);
    if (!r.ok())
        MessageBox::show(parent, u"ToDoを繰り越せませんでした。\n"_s + r.refusal,
                         MessageBox::OkOnly, MessageBox::Warning);
    return r.added > 0;
}
