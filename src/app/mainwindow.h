#pragma once

#include "views/viewcommands.h"
#include "views/viewwindow.h"

#include <QPointer>

class AnnualWindow;
class QMdiArea;
class YearDialog;

// The main window "DayLog": a frame of annual windows, one per open document. It
// keeps the year store and the annual window of the current document in step: the
// active annual window goes into the store when the frame is left, the store into the
// window of the current document when the frame is entered.
class MainWindow : public ViewWindow {
    Q_OBJECT
public:
    MainWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    QMdiArea* area() const { return m_area; }
    QList<AnnualWindow*> annualWindows() const;
    AnnualWindow* activeAnnual() const;
    // A new annual window for BaseYear (filled from the store when a document is
    // pending), shown and active.
    AnnualWindow* newAnnualWindow();

    // The file commands.
    bool Annual_Save();
    bool Annual_SaveAs();
    void Annual_Open();
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
    // The table in front with its cell edit ended; nullptr (said to the user) when
    // there is none.
    AnnualWindow* committedAnnual();
    void restoreWidths();
    void restoreHeights();
    void tile(Qt::Orientation orientation);

    void enterPage() override;

protected:
    void loadFromStore() override;
    void storeBack() override;
    void copyPage(AppState& snapshot) override;
    QWidget* writingWidget() const override;
    bool pageOfADate() const override { return false; }

private:
    std::vector<Command> commandTable();
    void edit(void (AnnualWindow::*command)());
    bool saveTo(AnnualWindow* window, const QString& path);

    QMdiArea* m_area;
    QPointer<YearDialog> m_yearDialog;
    int m_untitled = 0; // the running number of new documents
    bool m_entering = false;
};
