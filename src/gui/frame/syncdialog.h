// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/sync/syncstate.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "同期の設定": the calendar server, the user, the password and the calendar
// collection a document syncs with. カレンダーを探す finds the user's calendars from the
// server's address; the last choice of the list makes a new calendar for the year. The
// dialog only asks; SyncCommand keeps what was chosen.
class SyncDialog : public QDialog {
    Q_OBJECT
public:
    SyncDialog(const SyncLink& link, int baseYear, QWidget* parent = nullptr);

    QLineEdit* serverBox() const { return m_server; }
    QLineEdit* userBox() const { return m_user; }
    QLineEdit* passwordBox() const { return m_password; }
    QComboBox* calendars() const { return m_calendars; }
    QPushButton* findButton() const { return m_find; }
    QCheckBox* keepPassword() const { return m_keep; }
    QCheckBox* afterSave() const { return m_afterSave; }
    QCheckBox* everyFewMinutes() const { return m_periodic; }
    QLabel* status() const { return m_status; }

    // "カレンダーを探す": the calendars of the user on the server (a failure is shown in
    // the dialog). Waits for the server's answer.
    void findCalendars();

    // What was chosen: the link (its collection empty for a new calendar), whether a
    // new calendar is to be made (and its name), the password.
    SyncLink link() const;
    bool makesNewCalendar() const;
    QString newCalendarName() const;
    QString home() const { return m_home; }
    QString password() const;

    void accept() override;

private:
    void fieldsChanged();

    QLineEdit* m_server;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QPushButton* m_find;
    QComboBox* m_calendars;
    QCheckBox* m_keep;
    QCheckBox* m_afterSave;
    QCheckBox* m_periodic;
    QLabel* m_status;
    QPushButton* m_ok;
    QString m_home; // where a new calendar is made
    int m_baseYear;
};
