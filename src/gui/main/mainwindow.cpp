// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/main/mainwindow.h"

#include "core/annual/annuallayout.h"
#include "core/store/appstate.h"
#include "gui/frame/artwork.h"
#include "gui/frame/ending.h"
#include "gui/frame/exportcommand.h"
#include "gui/frame/importcommand.h"
#include "gui/grid/grid.h"
#include "gui/grid/gridcolors.h"
#include "gui/main/annualwindow.h"
#include "gui/platform/colordialog.h"
#include "gui/platform/messagebox.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>

using namespace Qt::StringLiterals;

MainWindow::MainWindow(AppState& app, Navigator& nav, QWidget* parent)
    : ViewWindow(app, nav, u"frmMain"_s, u"DayLog"_s, parent) {
    setWindowIcon(Artwork::programIcon());
    buildCommands(commandTable());
    m_area = new QMdiArea(this);
    m_area->setObjectName(u"MDIClient"_s);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    connect(m_area, &QMdiArea::subWindowActivated, this, &MainWindow::tableActivated);
    statusBar()->setObjectName(u"sbStatusBar"_s);
    placeOnScreen(QSize(1280, 720));
    setWindowState(Qt::WindowMaximized);
}

MainWindow::~MainWindow() {
    // The tables go with the frame: that closes no document.
    m_area->disconnect(this);
    for (QMdiSubWindow* sub : m_area->subWindowList())
        sub->disconnect(this);
}

std::vector<Command> MainWindow::commandTable() {
    using ViewCommands::ColorPart;
    return {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        Cmd::item(
            u"mnuFileNew"_s, u"新規作成(&N)"_s, [this] { newDocument(true); }, QKeySequence::New),
        Cmd::item(
            u"mnuFileOpen"_s, u"開く(&O)..."_s, [this] { Annual_Open(); }, QKeySequence::Open),
        Cmd::item(u"mnuFileClose"_s, u"閉じる(&C)"_s, [this] { openView(View::Calendar); }),
        Cmd::separator(u"mnuFileBar0"_s),
        Cmd::item(
            u"mnuFileSave"_s, u"上書き保存(&S)"_s, [this] { Annual_Save(); }, QKeySequence::Save),
        Cmd::item(u"mnuFileSaveAs"_s, u"名前を付けて保存(&A)..."_s, [this] { Annual_SaveAs(); }),
        Cmd::item(u"mnuFileExport"_s, u"エクスポート(&E)..."_s, [this] { exportYear(); }),
        Cmd::item(u"mnuFileImportIcs"_s, u"インポート(iCalendar)(&I)..."_s,
                  [this] { importICalendar(); }),
        Cmd::separator(u"mnuFileBar1"_s),
        Cmd::item(
            u"mnuFilePrint"_s, u"印刷(&P)..."_s, [this] { printSelection(); }, QKeySequence::Print),
        Cmd::item(u"mnuFileExit"_s, u"終了(&X)"_s, [this] { Forms_UnloadAll(navigator()); }),
        Cmd::menu(u"mnuHyouji"_s, u"表示(&V)"_s),
        Cmd::opens(u"mnucalender"_s, u"カレンダー(&C)"_s, View::Calendar),
        Cmd::opens(u"mnuNikki"_s, u"日記(&D)"_s, View::Diary),
        Cmd::opens(u"mnushuan"_s, u"週日程(&W)"_s, View::Weekly),
        Cmd::opens(u"mnutukinittei"_s, u"月日程(&M)"_s, View::Monthly),
        Cmd::separator(),
        toDoListCommand(),
        searchCommand(),
        Cmd::menu(u"mnuEdit"_s, u"編集(&E)"_s),
        Cmd::item(
            u"mnuEditCut"_s, u"切り取り(&T)"_s, [this] { edit(&AnnualWindow::Nen_Cut); },
            QKeySequence::Cut),
        Cmd::item(
            u"mnuEditCopy"_s, u"ｺﾋﾟｰ(&C)"_s, [this] { edit(&AnnualWindow::Nen_Copy); },
            QKeySequence::Copy),
        Cmd::item(
            u"mnuEditPaste"_s, u"貼り付け(&P)"_s, [this] { edit(&AnnualWindow::Nen_Paste); },
            QKeySequence::Paste),
        Cmd::item(u"mnuPasteAdd"_s, u"加算貼り付け"_s,
                  [this] { edit(&AnnualWindow::Nen_PasteAdd); }),
        Cmd::separator(u"mnuSpace5"_s),
        Cmd::item(u"retu_moto"_s, u"元の幅にもどす(&R)"_s, [this] { restoreWidths(); }),
        Cmd::item(u"gyou_moto"_s, u"高さを元に戻す(&G)"_s, [this] { restoreHeights(); }),
        Cmd::menu(u"mnuTools"_s, u"ﾂｰﾙ(&T)"_s),
        Cmd::opens(u"kiroku"_s, u"記録統計(&M)"_s, View::RecordStats),
        Cmd::opens(u"koumoko"_s, u"項目統計(&S)"_s, View::ItemStats),
        Cmd::menu(u"mnuWindow"_s, u"ｽｹｼﾞｭｰﾙ(&W)"_s),
        Cmd::item(u"mnuWindowCascade"_s, u"重ねて表示(&C)"_s,
                  [this] { m_area->cascadeSubWindows(); }),
        Cmd::item(u"mnuWindowTileHorizontal"_s, u"上下に並べて表示(&H)"_s,
                  [this] { tile(Qt::Vertical); }),
        Cmd::item(u"mnuWindowTileVertical"_s, u"左右に並べて表示(&V)"_s,
                  [this] { tile(Qt::Horizontal); }),
        Cmd::menu(u"mnuHelp"_s, u"ﾍﾙﾌﾟ(&H)"_s),
        Cmd::item(
            u"mnuHelpContents"_s, u"目次(&C)"_s, [this] { ViewCommands::help(this); },
            QKeySequence::HelpContents),
        Cmd::item(u"mnuHelpAbout"_s, u"ﾊﾞｰｼﾞｮﾝ情報(&A)"_s,
                  [this] {
                      MessageBox::show(this, u"ﾊﾞｰｼﾞｮﾝ "_s + QStringLiteral(DAYLOG_VERSION),
                                       MessageBox::OkOnly, MessageBox::Information);
                  }),

        Cmd::toolAction(
            u"新規作成"_s, ToolIcon::New, [this] { newDocument(false); }, std::nullopt,
            u"新規作成"_s),
        Cmd::tool(u"開く"_s, ToolIcon::Open, u"mnuFileOpen"_s, u"開く"_s),
        Cmd::tool(u"上書き"_s, ToolIcon::Save, u"mnuFileSave"_s, u"上書き保存"_s),
        Cmd::tool(u"印刷"_s, ToolIcon::Print, u"mnuFilePrint"_s, u"印刷"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"切り取り"_s, ToolIcon::Cut, u"mnuEditCut"_s, u"切り取り"_s),
        Cmd::tool(u"ｺﾋﾟｰ"_s, ToolIcon::Copy, u"mnuEditCopy"_s, u"ｺﾋﾟｰ"_s),
        Cmd::tool(u"貼り付け"_s, ToolIcon::Paste, u"mnuEditPaste"_s, u"貼り付け"_s),
        Cmd::tool(u"加算貼り付け"_s, ToolIcon::PasteAdd, u"mnuPasteAdd"_s, u"加算貼り付け"_s),
        Cmd::toolWithout(u"ToDo時間整列"_s, ToolIcon::Sort, u"ToDo時間整列"_s),
        Cmd::toolSeparator(),
        Cmd::toolAction(
            u"文字色"_s, ToolIcon::TextColor, [this] { colorBlock(ColorPart::Text); }, std::nullopt,
            u"文字の色を変えます"_s),
        Cmd::toolAction(
            u"バック"_s, ToolIcon::BackColor, [this] { colorBlock(ColorPart::Background); },
            std::nullopt, u"後ろの色をかえます"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"記録統計"_s, ToolIcon::RecordStats, u"kiroku"_s, u"メモ統計します"_s),
        Cmd::tool(u"スケジュール統計"_s, ToolIcon::ItemStats, u"koumoko"_s,
                  u"スケジュール統計します"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"カレンダー"_s, ToolIcon::Calendar, u"mnucalender"_s, u"カレンダー表示"_s),
        Cmd::tool(u"日記"_s, ToolIcon::Diary, u"mnuNikki"_s, u"日記"_s),
        Cmd::tool(u"週日程"_s, ToolIcon::Weekly, u"mnushuan"_s, u"週日程"_s),
        Cmd::tool(u"月日程"_s, ToolIcon::Monthly, u"mnutukinittei"_s, u"月日程"_s),
        Cmd::toolWithout(u"年間"_s, ToolIcon::Annual, u"年間"_s),
    };
}

QList<AnnualWindow*> MainWindow::annualWindows() const {
    QList<AnnualWindow*> out;
    for (QMdiSubWindow* sub : m_area->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<AnnualWindow*>(sub->widget()))
            out.append(w);
    return out;
}

AnnualWindow* MainWindow::activeAnnual() const {
    QMdiSubWindow* sub = m_area->currentSubWindow();
    return sub ? qobject_cast<AnnualWindow*>(sub->widget()) : nullptr;
}

AnnualWindow* MainWindow::annualOf(const Document* doc) const {
    for (AnnualWindow* w : annualWindows())
        if (&w->document() == doc)
            return w;
    return nullptr;
}

AnnualWindow* MainWindow::showAnnual(Document& doc) {
    AnnualWindow* w = annualOf(&doc);
    if (!w) {
        AnnualWindow::Hooks hooks;
        hooks.openWindows = [this] { return int(annualWindows().size()); };
        hooks.endProgram = [this](Document* letGo) { endFromTable(letGo); };
        hooks.settleEditsOf = [this](Document* closing) {
            for (NavWindow* other : navigator().loadOrder())
                if (!other->settleEditsOf(closing))
                    return false;
            return true;
        };
        w = new AnnualWindow(app(), doc, std::move(hooks));
        QMdiSubWindow* sub = m_area->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(Artwork::programIcon());
        sub->setWindowTitle(w->windowTitle());
        sub->setWindowModified(w->isWindowModified());
        // A table closed (its document unchanged) closes its document, once the table
        // is gone.
        Document* closing = &doc;
        connect(sub, &QObject::destroyed, this, [this, closing] {
            QTimer::singleShot(0, this, [this, closing] {
                if (app().owns(closing) && !annualOf(closing))
                    app().closeDocument(closing);
            });
        });
        sub->showMaximized();
        navigator().addLoaded(sub);
    }
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    m_area->setActiveSubWindow(sub);
    app().setCurrent(&doc);
    return w;
}

void MainWindow::tableActivated(QMdiSubWindow* sub) {
    // The table the user brings to the front is the current document. Qt also reports
    // tables while the frame is hidden or inactive (no table, or another one when the
    // frame goes): the current document stays then.
    if (!sub || !isVisible() || navigator().current() != this)
        return;
    if (auto* w = qobject_cast<AnnualWindow*>(sub->widget()))
        app().setCurrent(&w->document());
}

void MainWindow::enterPage() {
    // Coming to the table shows the current date; coming back to it after another
    // window of the program was used leaves the table where the user left it.
    m_entering = true;
    ViewWindow::enterPage();
    m_entering = false;
}

void MainWindow::loadFromStore() {
    // The table of the current document comes to the front; a document shown in no
    // table yet gets one.
    const bool isNew = !annualOf(&app().doc());
    AnnualWindow* w = showAnnual(app().doc());
    if (m_entering || isNew)
        w->showCurrentDate();
}

AnnualWindow* MainWindow::committedAnnual() {
    AnnualWindow* w = activeAnnual();
    if (!w) {
        MessageBox::show(this, u"年間データを作成してください"_s, MessageBox::OkOnly,
                         MessageBox::Warning);
        return nullptr;
    }
    w->commitEdit();
    return w;
}

void MainWindow::storeBack() {
    // The table writes into its document as the user types; leaving it only ends an
    // edit in a cell. The table in front is the current document, and the views then
    // open at today in its year.
    if (AnnualWindow* w = committedAnnual()) {
        app().setCurrent(&w->document());
        setCurrentDateToToday(app());
    }
}

void MainWindow::exportYear() {
    if (AnnualWindow* w = committedAnnual())
        ExportCommand::exportYear(this, w->document());
}

void MainWindow::importICalendar() {
    if (AnnualWindow* w = committedAnnual())
        ImportCommand::importICalendar(this, w->document());
}

QWidget* MainWindow::writingWidget() const {
    AnnualWindow* w = activeAnnual();
    return w ? w->grid() : nullptr;
}

void MainWindow::edit(void (AnnualWindow::*command)()) {
    if (AnnualWindow* w = activeAnnual())
        (w->*command)();
}

void MainWindow::endFromTable(Document* letGo) {
    Program_End(this, app(), navigator(), letGo);
}

void MainWindow::openCommand(View view) {
    if (view == View::Diary || view == View::Weekly || view == View::Monthly)
        openAtCursor(view);
    else
        openView(view);
}

void MainWindow::openAtCursor(View view) {
    AnnualWindow* w = activeAnnual();
    if (!w)
        return;
    openViewAt(view, Annual_ViewDate(w->model().row(), Annual_BaseYear(w->model())));
}

void MainWindow::colorBlock(ViewCommands::ColorPart part) {
    AnnualWindow* w = activeAnnual();
    if (!w)
        return;
    GridModel& m = w->model();
    if (m.row() < 0 || m.col() < 0)
        return;
    const quint32 now =
        part == ViewCommands::ColorPart::Text ? m.cellForeColor() : m.cellBackColor();
    const auto chosen = ColorDialog::choose(this, GridColors::toQColor(now, Qt::black));
    if (!chosen)
        return;
    const quint32 value = GridColors::fromQColor(*chosen);
    if (part == ViewCommands::ColorPart::Text)
        m.setCellForeColor(value);
    else
        m.setCellBackColor(value);
}

void MainWindow::printSelection() {
    AnnualWindow* w = activeAnnual();
    if (!w)
        return;
    ViewCommands::printBlock(this, *w->grid());
}

// Widths and heights are the table's own: the document does not change.
void MainWindow::restoreWidths() {
    if (AnnualWindow* w = activeAnnual())
        for (int c = 3; c < w->model().cols(); ++c)
            w->model().setColWidth(c, 1700);
}

void MainWindow::restoreHeights() {
    if (AnnualWindow* w = activeAnnual()) {
        GridModel& m = w->model();
        m.beginBulkEdit();
        m.setRowHeight(0, 350);
        for (int r = 1; r < m.rows(); ++r)
            m.setRowHeight(r, 1000);
        m.endBulkEdit();
    }
}

void MainWindow::tile(Qt::Orientation orientation) {
    // One above the other (vertical) or side by side (horizontal).
    const QList<QMdiSubWindow*> subs = m_area->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty())
        return;
    const QRect area = m_area->viewport()->rect();
    const int n = int(subs.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = subs[i];
        sub->showNormal();
        if (orientation == Qt::Vertical) {
            const int h = area.height() / n;
            sub->setGeometry(0, i * h, area.width(), i == n - 1 ? area.height() - i * h : h);
        } else {
            const int wd = area.width() / n;
            sub->setGeometry(i * wd, 0, i == n - 1 ? area.width() - i * wd : wd, area.height());
        }
    }
}
