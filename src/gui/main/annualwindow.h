// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/annual/annualmodel.h"

#include <QWidget>

#include <functional>

class AppState;
class Document;
class Grid;
class QLineEdit;

// An annual window "年間": one document's whole year as a table, a child window of
// the main window. The table is the document itself: typing goes straight into the
// document's cells; its clipboard commands act on the selected block; Page Up, Page
// Down, Enter and Delete work as in a year-long ledger. Its caption is the document's
// path (or "nikki…" while it has none).
class AnnualWindow : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<int()> openWindows;             // how many annual windows are open
        std::function<void(Document*)> endProgram;    // ends the program, this one let go
        std::function<bool(Document*)> settleEditsOf; // edits of other windows for it
    };

    AnnualWindow(AppState& app, Document& doc, Hooks hooks, QWidget* parent = nullptr);

    Grid* grid() const { return m_grid; }
    AnnualModel& model() { return m_model; }
    Document& document() const { return m_model.document(); }
    QString caption() const;

    // The row of the current date becomes the top row.
    void showCurrentDate();
    // Ends an edit in a cell, keeping what was typed where it can be kept.
    void commitEdit();

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
    void showTitle();
    void paste(bool add);

    AppState& m_app;
    Hooks m_hooks;
    AnnualModel m_model;
    Grid* m_grid;
    QLineEdit* m_colBox; // Text2
    QLineEdit* m_rowBox; // Text3
    int m_curRow = 1;
    int m_curCol = 1;
};
