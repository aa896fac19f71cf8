// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/main/annualwindow.h"

#include "core/annual/annuallayout.h"
#include "core/grid/gridclip.h"
#include "core/store/appstate.h"
#include "core/store/doclimits.h"
#include "core/store/document.h"
#include "gui/grid/grid.h"
#include "gui/grid/gridcommands.h"
#include "gui/platform/messagebox.h"

#include <QCloseEvent>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

AnnualWindow::AnnualWindow(AppState& app, Document& doc, Hooks hooks, QWidget* parent)
    : QWidget(parent), m_app(app), m_hooks(std::move(hooks)), m_model(doc) {
    setObjectName(u"年間"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    m_grid = new Grid(this);
    m_grid->setObjectName(u"nfg"_s);
    m_grid->setAccessibleName(u"年間日程表"_s);
    m_grid->setModel(&m_model);
    m_grid->setHighLight(true);
    m_colBox = new QLineEdit(this);
    m_colBox->setObjectName(u"Text2"_s);
    m_rowBox = new QLineEdit(this);
    m_rowBox->setObjectName(u"Text3"_s);
    for (QLineEdit* box : {m_colBox, m_rowBox}) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMaximumWidth(60);
        box->setAlignment(Qt::AlignRight);
    }
    // The labels name the boxes for a screen reader.
    auto* colLabel = new QLabel(u"列"_s, this);
    colLabel->setBuddy(m_colBox);
    auto* rowLabel = new QLabel(u"行"_s, this);
    rowLabel->setBuddy(m_rowBox);
    auto* place = new QHBoxLayout;
    place->addWidget(colLabel);
    place->addWidget(m_colBox);
    place->addSpacing(8);
    place->addWidget(rowLabel);
    place->addWidget(m_rowBox);
    place->addStretch();
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(6, 4, 6, 6);
    all->setSpacing(4);
    all->addLayout(place);
    all->addWidget(m_grid, 1);
    setFocusProxy(m_grid);

    connect(m_grid, &Grid::cellChanged, this, &AnnualWindow::showCursor);
    connect(m_grid, &Grid::mouseDown, this, [this] {
        // Over a day's fields, not its date or weekday.
        if (m_grid->mouseRow() > 0 && m_grid->mouseCol() > 1)
            showCursor();
    });
    connect(m_grid, &Grid::keyDown, this, [this](int key) { keyDown(key); });
    // What is typed into a cell is written into the document by the table itself.
    connect(&doc, &Document::pathChanged, this, &AnnualWindow::showTitle);
    connect(&doc, &Document::changedChanged, this, &AnnualWindow::showTitle);
    showTitle();
    showCursor();
}

QString AnnualWindow::caption() const {
    return document().path();
}

void AnnualWindow::showTitle() {
    // The path, with a mark while the document holds changes not saved yet.
    const QString title = caption() + u"[*]"_s;
    setWindowTitle(title);
    setWindowModified(document().isChanged());
    if (parentWidget()) { // the child window's frame
        parentWidget()->setWindowTitle(title);
        parentWidget()->setWindowModified(document().isChanged());
    }
}

void AnnualWindow::commitEdit() {
    if (m_grid->isEditing() && !m_grid->commitEdit())
        m_grid->cancelEdit();
}

void AnnualWindow::showCurrentDate() {
    // The current date's row at the top, with the cursor on it, so that typing goes
    // where the user looks.
    const int row = std::clamp(Store_DayRow(m_app), 1, m_model.rows() - 1);
    m_grid->setTopRow(row);
    m_grid->setCursor(row, std::max(m_model.col(), 2));
    m_grid->setTopRow(row);
    showCursor();
}

void AnnualWindow::showCursor() {
    m_curRow = m_model.row();
    m_curCol = m_model.col();
    m_colBox->setText(QString::number(m_curCol));
    m_rowBox->setText(QString::number(m_curRow));
}

void AnnualWindow::keyDown(int key) {
    GridModel& g = m_model;
    const int p = Grid_FitRows(*m_grid);
    const int last = g.rows() - 1;
    switch (key) {
    case Qt::Key_PageDown:
        if (m_curRow + p < last) {
            m_grid->setTopRow(m_grid->topRow() + p);
            m_grid->setCursor(m_curRow + p, m_curCol);
        } else {
            m_grid->setCursor(last, m_curCol);
            m_grid->setTopRow(last - p);
        }
        m_grid->consumeKey();
        break;
    case Qt::Key_PageUp:
        if (m_grid->topRow() - p > 1) {
            m_grid->setTopRow(m_grid->topRow() - p);
            m_grid->setCursor(m_curRow - p, m_curCol);
        } else {
            m_grid->setTopRow(1);
            m_grid->setCursor(1, m_curCol);
        }
        m_grid->consumeKey();
        break;
    default:
        Grid_EnterOrDelete(*m_grid, key);
        break;
    }
    showCursor();
}

void AnnualWindow::Nen_Cut() {
    const GridModel::Selection s = m_model.getSelection();
    Grid_Cut(s.col1, s.row1, s.col2, s.row2, m_model);
}

void AnnualWindow::Nen_Copy() {
    const GridModel::Selection s = m_model.getSelection();
    Grid_Copy(s.col1, s.row1, s.col2, s.row2, m_model);
}

void AnnualWindow::Nen_Paste() {
    paste(false);
}

void AnnualWindow::Nen_PasteAdd() {
    paste(true);
}

void AnnualWindow::paste(bool add) {
    // A paste that would make a document the program cannot open again is refused
    // before anything is written.
    const auto check = [this](const std::vector<GridClip::PastedCell>& cells) {
        std::vector<DocLimits::CellText> texts;
        texts.reserve(cells.size());
        for (const GridClip::PastedCell& c : cells)
            texts.push_back({c.row, c.col, c.text});
        return DocLimits::refusal(document().store(), texts);
    };
    if (add)
        Grid_PasteAdd(m_model.col(), m_model.row(), m_model.cols(), m_model.rows(), m_model, this,
                      check);
    else
        Grid_Paste(m_model.col(), m_model.row(), m_model.cols(), m_model.rows(), m_model, this,
                   check);
}

void AnnualWindow::closeEvent(QCloseEvent* event) {
    // The last annual window can never be closed.
    if (!m_hooks.openWindows || m_hooks.openWindows() <= 1) {
        MessageBox::show(this, u"すべての年間データは閉じることができません"_s, MessageBox::OkOnly,
                         MessageBox::Warning);
        event->ignore();
        return;
    }
    commitEdit();
    // The ToDo list's edits of this document are asked about first: they may still
    // reach it (and make it changed).
    if (m_hooks.settleEditsOf && !m_hooks.settleEditsOf(&document())) {
        event->ignore();
        return;
    }
    if (document().isChanged()) {
        const auto answer =
            MessageBox::show(this, u"ファイルが変更されています。終了しますか?"_s,
                             MessageBox::YesNo, MessageBox::Question, document().displayName());
        event->ignore();
        // Yes ends the whole program without saving this document: the question says
        // so. Every other document with changes is still asked about.
        if (answer == MessageBox::Yes && m_hooks.endProgram)
            m_hooks.endProgram(&document());
        return;
    }
    event->accept();
}
