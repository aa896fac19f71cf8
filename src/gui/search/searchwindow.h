// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/frame/viewwindow.h"

class DayRange;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

// "検索": every text of the days of a range that holds the search text, one line each
// (the date with its weekday, the field's heading and the text around the match), by
// date; a click on a line opens its day in the diary.
class SearchWindow : public ViewWindow {
    Q_OBJECT
public:
    SearchWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // "検索": lists the texts found (asks for a text when there is none).
    void search();
    // A day of the list chosen: the diary opens at it and the search window closes.
    void openDay(const QDate& day);

    QLineEdit* textBox() const { return m_text; }
    QDateEdit* fromPicker() const;
    QDateEdit* toPicker() const;
    QListWidget* results() const { return m_list; }
    // The lines listed, and the day of each.
    QStringList resultTexts() const;
    QList<QDate> resultDays() const;

protected:
    void loadFromStore() override;
    void storeBack() override {}
    QWidget* writingWidget() const override;
    bool pageOfADate() const override { return false; }
    bool followsActivation() const override { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::vector<Command> commandTable();
    QWidget* buildPage();

    QLineEdit* m_text = nullptr; // Text1
    DayRange* m_range = nullptr;
    QListWidget* m_list = nullptr;
};
