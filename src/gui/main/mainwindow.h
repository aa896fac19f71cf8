// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/frame/viewcommands.h"
#include "gui/frame/viewwindow.h"

#include <QPointer>

class AnnualWindow;
class Document;
class QMdiArea;
class QMdiSubWindow;
class YearDialog;

// The main window "DayLog": a frame of annual windows, one per open document. Each
// table is its document itself; the table in front is the current document, the one
// the calendar and the views show.
class MainWindow : public ViewWindow {
    Q_OBJECT
public:
    MainWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);
    ~MainWindow() override;

    QMdiArea* area() const { return m_area; }
    QList<AnnualWindow*> annualWindows() const;
    AnnualWindow* activeAnnual() const;
    // The table of `doc`, if it has one.
    AnnualWindow* annualOf(const Document* doc) const;
    // The table of `doc` in front (made now if it has none); `doc` is then current.
    AnnualWindow* showAnnual(Document& doc);
    // A document just made (新規作成) or read (開く) in a table of its own, in front,
    // the current date today in its year: the same table whichever way it came.
    void showNewTable(Document& doc);

    // The file commands.
    bool Annual_Save();
    bool Annual_SaveAs();
    void Annual_Open();
    // Opens the document at `path` as the open command does, without the dialog: a
    // file open already comes to the front. False when it could not be opened (said
    // to the user).
    bool openPath(const QString& path);
    // 新規作成: the year dialog for a new, untitled document.
    void newDocument(bool marksChanged);
    YearDialog* yearDialog() const;

    // Opens a view at the day of the active annual window's cursor row.
    void openAtCursor(View view);
    // Text or background colour of the selected block.
    void colorBlock(ViewCommands::ColorPart part);
    void printSelection();
    // The document of the table in front as iCalendar or CSV.
    void exportYear();
    // Adds an iCalendar file to the document of the table in front.
    void importICalendar();
    // The table in front with its cell edit ended; nullptr (said to the user) when
    // there is none.
    AnnualWindow* committedAnnual();
    void restoreWidths();
    void restoreHeights();
    void tile(Qt::Orientation orientation);

    void enterPage() override;

protected:
    // The frame names the table in front itself.
    const Document* titleDocument() const override { return nullptr; }
    void loadFromStore() override;
    void storeBack() override;
    QWidget* writingWidget() const override;
    bool pageOfADate() const override { return false; }
    // The views open at the day of the table's cursor.
    void openCommand(View view) override;

private:
    std::vector<Command> commandTable();
    void edit(void (AnnualWindow::*command)());
    void tableActivated(QMdiSubWindow* sub);
    // Ends the program from a table whose document's changes the user let go.
    void endFromTable(Document* letGo);

    QMdiArea* m_area;
    QPointer<YearDialog> m_yearDialog;
    bool m_entering = false;
};
