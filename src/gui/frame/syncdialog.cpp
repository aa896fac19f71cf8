// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/syncdialog.h"

#include "net/caldavclient.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
// The calendar list's data: a collection's address, or this mark for a new calendar.
const QString NewCalendar = u"new:"_s;
} // namespace

SyncDialog::SyncDialog(const SyncLink& link, int baseYear, QWidget* parent)
    : QDialog(parent), m_baseYear(baseYear) {
    setObjectName(u"同期の設定"_s);
    setWindowTitle(u"同期の設定"_s);
    m_server = new QLineEdit(link.server, this);
    m_server->setPlaceholderText(u"https://calendar.example.jp/"_s);
    m_user = new QLineEdit(link.user, this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_find = new QPushButton(u"カレンダーを探す(&F)"_s, this);
    m_calendars = new QComboBox(this);
    if (!link.collection.isEmpty())
        m_calendars->addItem(link.collection, link.collection);
    m_keep = new QCheckBox(u"パスワードをキーリングに保管する(&K)"_s, this);
    m_keep->setChecked(true);
    m_afterSave = new QCheckBox(u"保存するたびに同期する(&A)"_s, this);
    m_periodic = new QCheckBox(u"開いている間は10分ごとに同期する(&M)"_s, this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setAccessibleName(u"同期の設定の状況"_s);

    auto* form = new QFormLayout;
    form->addRow(u"サーバー(&S):"_s, m_server);
    form->addRow(u"ユーザー名(&U):"_s, m_user);
    form->addRow(u"パスワード(&P):"_s, m_password);
    auto* calendarRow = new QHBoxLayout;
    calendarRow->addWidget(m_calendars, 1);
    calendarRow->addWidget(m_find);
    auto* calendarLabel = new QLabel(u"カレンダー(&C):"_s, this);
    calendarLabel->setBuddy(m_calendars);
    form->addRow(calendarLabel, calendarRow);
    // Each field is named after its label for a screen reader.
    for (QWidget* w : {static_cast<QWidget*>(m_server), static_cast<QWidget*>(m_user),
                       static_cast<QWidget*>(m_password), static_cast<QWidget*>(m_calendars)})
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(w)))
            w->setAccessibleName(label->text().remove(u"(&"_s).section(u')', 0, 0));
    m_calendars->setAccessibleName(u"カレンダー"_s);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &SyncDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SyncDialog::reject);
    connect(m_find, &QPushButton::clicked, this, &SyncDialog::findCalendars);
    for (QLineEdit* box : {m_server, m_user, m_password})
        connect(box, &QLineEdit::textChanged, this, &SyncDialog::fieldsChanged);

    auto* all = new QVBoxLayout(this);
    all->addLayout(form);
    all->addWidget(m_keep);
    all->addWidget(m_afterSave);
    all->addWidget(m_periodic);
    all->addWidget(m_status);
    all->addStretch();
    all->addWidget(buttons);
    fieldsChanged();
    // The first empty field takes the keys.
    for (QLineEdit* box : {m_server, m_user, m_password})
        if (box->text().isEmpty()) {
            box->setFocus();
            break;
        }
    resize(520, sizeHint().height());
}

void SyncDialog::fieldsChanged() {
    const bool filled = !m_server->text().trimmed().isEmpty() && !m_user->text().isEmpty();
    m_find->setEnabled(filled && !m_password->text().isEmpty());
}

void SyncDialog::findCalendars() {
    const QUrl server = QUrl::fromUserInput(m_server->text().trimmed());
    if (!server.isValid()) {
        m_status->setText(u"サーバーのアドレスが正しくありません。"_s);
        return;
    }
    m_status->setText(u"カレンダーを探しています…"_s);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    CalDavClient client(server, m_user->text(), m_password->text());
    const DiscoveryResult found = client.discover().wait();
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    if (found.error) {
        m_status->setText(found.error.message);
        return;
    }
    m_home = found.home;
    m_calendars->clear();
    for (const CalendarInfo& c : found.calendars) {
        // Calendars that take no tasks or journals would lose them: listed, marked.
        const bool all = c.components.isEmpty() ||
                         (c.components.contains(u"VEVENT"_s) && c.components.contains(u"VTODO"_s));
        const QString name = c.displayName.isEmpty() ? c.href : c.displayName;
        m_calendars->addItem(all ? name : u"%1（予定のみ）"_s.arg(name),
                             server.resolved(QUrl(c.href)).toString());
    }
    m_calendars->addItem(u"新しいカレンダー「%1」を作る"_s.arg(newCalendarName()), NewCalendar);
    m_status->setText(found.calendars.isEmpty()
                          ? u"カレンダーはまだありません。新しいカレンダーを作れます。"_s
                          : u"%1個のカレンダーが見つかりました。"_s.arg(found.calendars.size()));
    m_calendars->setFocus();
}

QString SyncDialog::newCalendarName() const {
    return Sync_NewCalendarName(m_baseYear);
}

bool SyncDialog::makesNewCalendar() const {
    return m_calendars->currentData().toString() == NewCalendar;
}

SyncLink SyncDialog::link() const {
    const QUrl server = QUrl::fromUserInput(m_server->text().trimmed());
    SyncLink link;
    link.server =
        server.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
    link.user = m_user->text();
    if (!makesNewCalendar())
        link.collection = m_calendars->currentData().toString();
    return link;
}

QString SyncDialog::password() const {
    return m_password->text();
}

void SyncDialog::accept() {
    if (m_server->text().trimmed().isEmpty() || m_user->text().isEmpty()) {
        m_status->setText(u"サーバーとユーザー名を入力してください。"_s);
        return;
    }
    if (m_calendars->currentIndex() < 0) {
        m_status->setText(u"「カレンダーを探す」でカレンダーを選んでください。"_s);
        return;
    }
    QDialog::accept();
}
