// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class GridModel;
class QAbstractScrollArea;
class QInputMethodEvent;
class QRect;

// How a column takes typed text: the window that shows the grid knows what its
// columns hold. A column that checks its input is edited in one line.
struct ColumnInput {
    std::function<QString(const QString&)> normalize; // stored form, or a null QString to refuse
    QString placeholder;                              // the editor's hint
    QString refusal;                                  // shown as a tip when refused

    // A column of days is edited with a date field and its calendar, from `firstDate`
    // to `lastDate`: `readDate` reads a cell's text (an invalid date when it is none,
    // the field then starts at `emptyDate`), `writeDate` gives the text to store.
    QDate firstDate, lastDate;
    std::function<QDate(const QString&)> readDate;
    std::function<QString(const QDate&)> writeDate;
    std::function<QDate()> emptyDate;

    bool isDate() const { return firstDate.isValid() && readDate && writeDate; }

    // A column whose typed text is checked by `normalize`.
    static ColumnInput checked(std::function<QString(const QString&)> normalize,
                               const QString& placeholder, const QString& refusal) {
        ColumnInput c;
        c.normalize = std::move(normalize);
        c.placeholder = placeholder;
        c.refusal = refusal;
        return c;
    }
};

// The editor a grid opens on a cell to change its text in place: a date field in a
// column of days, a drop-down where the column has a list of entries, several lines
// where the cell is tall enough, one line otherwise. It lies over the cell on the grid's viewport
// and takes the keys that finish an edit: Enter, Tab and (in one line) Up and Down store the text
// and ask for the next cell; Escape gives up; Alt, Shift or Ctrl with Enter begins a new line in
// several lines. The text is stored when the focus leaves for another widget.
class GridEditor : public QObject {
    Q_OBJECT
public:
    // `grid` is the scroll area whose viewport holds the editor and which takes the
    // focus back when the editor closes.
    explicit GridEditor(QAbstractScrollArea* grid);
    ~GridEditor() override;

    void setColInput(int col, ColumnInput input);
    // The column's input check, or nullptr where it has none.
    const ColumnInput* colInput(int col) const;

    bool isOpen() const { return !m_widget.isNull(); }
    QWidget* widget() const { return m_widget.data(); }
    int row() const { return m_row; }
    int col() const { return m_col; }

    // Opens over `rect` (viewport pixels) on a cell of `model`, holding `text`.
    void open(GridModel& model, int row, int col, const QRect& rect, const QString& text);
    // Stores the text and closes; false, and the editor stays open, where the column's
    // input check refuses the text.
    bool commit();
    void cancel();
    // Hands input-method text to the editor's text field.
    void sendInputMethodEvent(QInputMethodEvent* event);

Q_SIGNALS:
    // A commit changed the cell's text.
    void edited(int row, int col);
    // A key stored the text and asks for the cursor to move.
    void moveRequested(int dRow, int dCol);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    void commitAndMove(int dRow, int dCol);

    QAbstractScrollArea* m_grid;
    QPointer<GridModel> m_model;
    std::vector<ColumnInput> m_inputs;
    QPointer<QWidget> m_widget;
    int m_row = -1, m_col = -1;
};
