// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

// Asks for the year of a new document. Not modal, and it cannot be closed from its
// title bar: only its button "選択" closes it, after the work is done.
class YearDialog : public QDialog {
    Q_OBJECT
public:
    // objectName is "年度決定" for the start-up dialog, "年度決定2" for New.
    explicit YearDialog(const QString& name, QWidget* parent = nullptr);

    // The start-up mark: "1" when the dialog was opened by start-up.
    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    QComboBox* combo() const { return m_combo; }
    QPushButton* button() const { return m_button; }
    // The year of the selected entry; 0 when none is selected.
    int selectedYear() const;

Q_SIGNALS:
    // Command1 with a year selected: the dialog closes itself after the handlers ran.
    void yearChosen(int year);
    // Escape, the close box or Alt+F4: no year was chosen.
    void cancelled();

public Q_SLOTS:
    void reject() override;

private:
    void confirm();

    QString m_tag;
    QLabel* m_label;
    QComboBox* m_combo;
    QPushButton* m_button;
    bool m_closing = false;
};
