#pragma once

#include "grid/gridmodel.h"

#include <QWidget>

#include <functional>

class AppState;
class Grid;
class QLineEdit;

// An annual window "年間": one document's whole year as a table, a child window of
// the main window. Typing goes straight into the cells; its clipboard commands act on
// the selected block; Page Up, Page Down, Enter and Delete work as in a year-long
// ledger. Its caption is the document's path (or "nikki…" while it has none).
class AnnualWindow : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<int()> openWindows; // how many annual windows are open
        std::function<void()> endProgram; // ends the program at once
    };

    AnnualWindow(AppState& app, Hooks hooks, QWidget* parent = nullptr);

    Grid* grid() const { return m_grid; }
    GridModel& model() { return m_model; }
    QString caption() const { return windowTitle(); }
    void setCaption(const QString& caption);

    // The window's own changed mark: "1" after a clipboard command changed its grid.
    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // Fills the grid from the store when the store holds a document no window shows
    // yet (and takes its path as caption); the skeleton of the year otherwise.
    void loadPending();
    // The row of the current date becomes the top row.
    void showCurrentDate();

    // The clipboard commands, on the block between the selection's two corners.
    void Nen_Cut();
    void Nen_Copy();
    void Nen_Paste();
    void Nen_PasteAdd();

    QLineEdit* columnBox() const { return m_colBox; }
    QLineEdit* rowBox() const { return m_rowBox; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void keyDown(int key);
    void showCursor();

    AppState& m_app;
    Hooks m_hooks;
    GridModel m_model;
    Grid* m_grid;
    QLineEdit* m_colBox; // Text2
    QLineEdit* m_rowBox; // Text3
    QString m_tag;
    int m_curRow = 1;
    int m_curCol = 1;
};
