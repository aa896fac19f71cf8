// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file commands: opening a document in a table of its own, saving
// the document of the table in front, and the year dialog of a new document (with the
// open ToDo items of the year before offered for its 1 April).

#include "gui/main/mainwindow.h"

#include "core/calendar/newyear.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "gui/frame/carrydialog.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/yeardialog.h"
#include "gui/main/annualwindow.h"
#include "gui/platform/filedialog.h"
#include "gui/platform/messagebox.h"

using namespace Qt::StringLiterals;

// Saves from the main window write the table's own 19 columns.
bool MainWindow::Annual_Save() {
    AnnualWindow* w = committedAnnual();
    if (!w)
        return false;
    return Doc_Save(this, app(), w->document(), SaveShape::Table);
}

bool MainWindow::Annual_SaveAs() {
    AnnualWindow* w = committedAnnual();
    if (!w)
        return false;
    return Doc_SaveAs(this, app(), w->document(), SaveShape::Table);
}

void MainWindow::Annual_Open() {
    // The dialog opens in the folder of the document in front.
    const QString path = FileDialog::getOpenFileName(
        this, u"開く"_s, QString::fromUtf16(DocFiles::OpenDocumentFilter),
        DocFiles::dialogFolder(app().docPath()));
    if (path.isEmpty())
        return;
    openPath(path);
}

bool MainWindow::openPath(const QString& path) {
    // A file open already is not opened twice: its table comes to the front.
    if (Document* open = app().findDocument(path)) {
        showAnnual(*open)->showCurrentDate();
        return true;
    }
    // The whole file is read and checked first: a file that is not a document leaves
    // every window and every open document as they were.
    YearStore year;
    FileIdentity identity;
    const FileResult r = DocFiles::readDocument(path, year, &identity);
    if (!r.ok()) {
        MessageBox::show(this, r.loadMessage(path), MessageBox::OkOnly, MessageBox::Critical);
        return false;
    }
    Document* doc = app().addDocument();
    if (!Doc_TakeLock(this, *doc, path)) {
        app().closeDocument(doc);
        return false;
    }
    doc->replace(year);
    doc->setPath(path);
    doc->setIdentity(identity);
    // Changes of it a run that did not end normally left behind.
    Doc_OfferRecovery(this, *doc);
    showNewTable(*doc);
    return true;
}

void MainWindow::showNewTable(Document& doc) {
    // One way for every table of a document just made or read: laid out by its model
    // alone (AnnualModel), in front, at today in its year.
    AnnualWindow* w = showAnnual(doc);
    setCurrentDateToToday(app());
    w->showCurrentDate();
}

YearDialog* MainWindow::yearDialog() const {
    return m_yearDialog;
}

void MainWindow::newDocument(bool marksChanged) {
    if (m_yearDialog) {
        m_yearDialog->raise();
        m_yearDialog->activateWindow();
        return;
    }
    m_yearDialog = new YearDialog(u"年度決定2"_s, this);
    m_yearDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_yearDialog, &YearDialog::yearChosen, this, [this, marksChanged](int year) {
        // What is being typed in a table counts among the open ToDo items offered.
        if (AnnualWindow* w = activeAnnual())
            w->commitEdit();
        const std::vector<CarryItem> carried = Carry_Ask(m_yearDialog, app(), year);
        // A new, untitled document: the dates, weekdays and holidays of the year, and
        // the open ToDo items of the year before the user chose to carry (which make
        // it a changed document).
        YearStore fresh;
        Store_New(fresh, year, QDate());
        const bool added = Carry_Into(this, fresh, carried);
        Document* doc = app().addDocument();
        doc->replace(fresh, marksChanged || added);
        showNewTable(*doc);
    });
    m_yearDialog->show();
}
