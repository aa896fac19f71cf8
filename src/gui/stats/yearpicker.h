// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/stats/yearstats.h"
#include "core/store/yearstore.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <deque>
#include <vector>

class AppState;
class QComboBox;
class QPushButton;

// "比べる年度": the other years the statistics count beside the current document's,
// each a document file the user chose. The list ("yearList") shows them with their
// file names; "年度を追加..." ("addYear") chooses another file, "年度を外す"
// ("removeYear") takes the year shown in the list out.
class YearPicker : public QWidget {
    Q_OBJECT
public:
    struct Chosen {
        QString path;
        int baseYear = 0;
    };

    YearPicker(AppState& app, QWidget* parent = nullptr);

    const QList<Chosen>& chosen() const { return m_chosen; }
    // No other year any more.
    void clear();

    // Asks for a document file and adds its year. A file that cannot be read as a
    // document, or a year that is the current document's or chosen already, is
    // refused with a message. Whether a year was added.
    bool add();
    // Takes the year shown in the list out; whether there was one.
    bool removeShown();

    // The years to count, as they are now: the current document's first, then every
    // chosen year, from its open document where the file is open (with the changes
    // not saved yet), else read from the file into `read`. A file that cannot be read
    // or a year counted twice is reported, and nothing is given (false).
    bool gather(std::vector<StatsYear>& years, std::deque<YearStore>& read);

    QComboBox* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }

Q_SIGNALS:
    // The buttons were pressed: the window finishes what is typed, then calls add() or
    // removeShown().
    void addRequested();
    void removeRequested();

private:
    void showChosen(int current);
    // The message for a year that is there already.
    static QString twiceMessage(const QString& path, int baseYear);

    AppState& m_app;
    QList<Chosen> m_chosen;
    QComboBox* m_list;
    QPushButton* m_add;
    QPushButton* m_remove;
};
