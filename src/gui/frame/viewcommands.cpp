// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/viewcommands.h"

#include "core/store/appstate.h"
#include "gui/frame/monthgrid.h"
#include "gui/frame/textbox.h"
#include "gui/frame/viewwindow.h"
#include "gui/frame/windowprint.h"
#include "gui/grid/blockprint.h"
#include "gui/grid/gridcolors.h"
#include "gui/platform/colordialog.h"
#include "gui/platform/help.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/printer.h"

#include <QFileInfo>
#include <QMainWindow>

namespace ViewCommands {

TextBox* focusedTextBox(const QWidget* window) {
    auto* box = qobject_cast<TextBox*>(window ? window->focusWidget() : nullptr);
    if (!box || !box->objectName().startsWith(QStringLiteral("Text")) || box->isReadOnly())
        return nullptr;
    return box;
}

void copy(const QWidget* window) {
    if (TextBox* box = focusedTextBox(window))
        box->copySelection();
}

void cut(const QWidget* window) {
    if (TextBox* box = focusedTextBox(window))
        box->cutSelection();
}

void paste(const QWidget* window) {
    if (TextBox* box = focusedTextBox(window))
        box->pasteClipboard();
}

void deleteSelection(const QWidget* window) {
    if (TextBox* box = focusedTextBox(window))
        box->deleteSelection();
}

void selectAll(const QWidget* window) {
    if (TextBox* box = focusedTextBox(window))
        box->selectAllText();
}

bool chooseBoxColor(QWidget* window, TextBox* box, ColorPart part) {
    const QColor now = part == ColorPart::Text ? box->textColor() : box->backColor();
    const auto chosen = ColorDialog::choose(window, now);
    if (!chosen)
        return false;
    const quint32 value = GridColors::fromQColor(*chosen);
    if (part == ColorPart::Text)
        box->setForeValue(value);
    else
        box->setBackValue(value);
    Q_EMIT box->edited();
    return true;
}

void chooseColor(QWidget* window, ColorPart part) {
    TextBox* box = focusedTextBox(window);
    if (!box) {
        MessageBox::show(window, QStringLiteral("ここの色は変更できません。"), MessageBox::OkOnly,
                         MessageBox::Warning);
        return;
    }
    chooseBoxColor(window, box, part);
}

bool chooseDayColor(QWidget* window, DayCell* cell, int row, AppState& app) {
    if (row < 1 || row > YearStore::DayRows)
        return false;
    const auto chosen = ColorDialog::choose(window, cell->textColor());
    if (!chosen)
        return false;
    cell->setTextColor(*chosen);
    // A colour other than the day's is an edit of the document.
    app.store().set(row, StoreCol::WeekdayFore, qint64(GridColors::fromQColor(*chosen)));
    return true;
}

void help(QWidget* window) {
    const QString path = Help::helpPath();
    if (!QFileInfo::exists(path)) {
        const auto* view = qobject_cast<const ViewWindow*>(window);
        MessageBox::show(window, QStringLiteral("ﾍﾙﾌﾟの目次を表示できません。ﾍﾙﾌﾟが存在しません。"),
                         MessageBox::OkOnly, MessageBox::Information,
                         view ? view->caption() : window->windowTitle());
        return;
    }
    // The window's own section; the top of the manual for a window without one.
    QString error;
    if (!Help::show(window, path, Help::sectionOf(window->objectName()), &error))
        MessageBox::show(window, error, MessageBox::OkOnly, MessageBox::Critical);
}

void reportPrint(QWidget* window, Printer::Result result) {
    if (result == Printer::Result::Failed)
        MessageBox::show(window, QStringLiteral("印刷できませんでした。"), MessageBox::OkOnly,
                         MessageBox::Critical);
}

void printWindow(QMainWindow* window) {
    QWidget* page = window->centralWidget();
    reportPrint(window, Printer::print(window, window->windowTitle(), QPageLayout::Landscape,
                                       [page](QPagedPaintDevice* device) {
                                           return WindowPrint::paint(page, device);
                                       }));
}

void printBlock(QWidget* window, Grid& grid, int headingCols) {
    reportPrint(window, Print_Selection(grid, headingCols));
}

} // namespace ViewCommands
