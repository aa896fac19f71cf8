// The main window's file commands: opening a document in a new annual window, saving
// the active annual window, and the year dialog of a new document.

#include "app/mainwindow.h"

#include "app/yeardialog.h"
#include "calendar/annuallayout.h"
#include "calendar/annualwindow.h"
#include "calendar/holidays.h"
#include "grid/grid.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"
#include "store/appstate.h"
#include "store/documentcommands.h"
#include "store/documentfile.h"

using namespace Qt::StringLiterals;

bool MainWindow::saveTo(AnnualWindow* w, const QString& path) {
    if (w->grid()->isEditing() && !w->grid()->commitEdit())
        w->grid()->cancelEdit();
    const FileResult r = w->model().saveGrid(path, 6);
    if (!r.ok()) {
        MessageBox::show(this, r.saveMessage(path), MessageBox::OkOnly, MessageBox::Critical);
        return false;
    }
    app().setDocChanged(false);
    return true;
}

bool MainWindow::Annual_Save() {
    AnnualWindow* w = activeAnnual();
    if (!w)
        return false;
    if (DocFiles::isUntitled(w->caption()))
        return Annual_SaveAs();
    app().DocPath = w->caption();
    return saveTo(w, app().DocPath);
}

bool MainWindow::Annual_SaveAs() {
    AnnualWindow* w = activeAnnual();
    if (!w)
        return false;
    Store_FromAnnual(app(), w->model(), w->caption());
    const QString path = chooseSavePath(this, QString::fromUtf16(DocFiles::DocumentFilter),
                                        QString::fromUtf16(DocFiles::DocumentExt));
    if (path.isEmpty())
        return false;
    if (!saveTo(w, path))
        return false;
    app().DocPath = path;
    w->setCaption(path);
    return true;
}

void MainWindow::Annual_Open() {
    const QString path = FileDialog::getOpenFileName(
        this, u"開く"_s, QString::fromUtf16(DocFiles::OpenDocumentFilter));
    if (path.isEmpty())
        return;
    // The whole file is read and checked first: a file that is not a document leaves
    // every window, the store and the document path as they were.
    GridData file;
    FileResult r = GridFile::read(path, file);
    if (r.ok())
        r = DocFiles::checkDocumentShape(file);
    if (!r.ok()) {
        MessageBox::show(this, r.loadMessage(path), MessageBox::OkOnly, MessageBox::Critical);
        return;
    }
    app().DocPath = path;
    app().DocPending = true;
    AnnualWindow* w = newAnnualWindow();
    GridModel& m = w->model();
    m.assignData(std::move(file));
    // A document saved through the buffer grid has a twentieth column, which the
    // table does not show (the weekday colours are the weekday cells' own).
    Annual_Layout(m, 19);
    m.setFixedRows(1);
    m.setFixedCols(2);
    m.select(1, 2);
    app().BaseYear = Annual_BaseYear(m);
    setCurrentDateToToday(app());
    w->showCurrentDate();
}

YearDialog* MainWindow::yearDialog() const {
    return m_yearDialog;
}

void MainWindow::newDocument(bool marksChanged) {
    if (marksChanged)
        app().setDocChanged(true);
    if (m_yearDialog) {
        m_yearDialog->raise();
        m_yearDialog->activateWindow();
        return;
    }
    m_yearDialog = new YearDialog(u"年度決定2"_s, this);
    m_yearDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_yearDialog, &YearDialog::yearChosen, this, [this](int year) {
        app().BaseYear = year;
        setCurrentDateToToday(app());
        ++m_untitled;
        AnnualWindow* w = newAnnualWindow();
        w->setCaption(u"nikki"_s + QString::number(m_untitled));
        Holiday_Grid(w->model());
    });
    m_yearDialog->show();
}
