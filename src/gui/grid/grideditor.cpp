// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/grideditor.h"

#include "core/grid/gridmodel.h"
#include "gui/grid/gridaccessible.h"
#include "gui/grid/gridpainter.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolTip>

#include <algorithm>

GridEditor::GridEditor(QAbstractScrollArea* grid) : QObject(grid), m_grid(grid) {}

GridEditor::~GridEditor() {
    // Closed first, so that the focus it loses on the way is not taken for a commit.
    if (QWidget* editor = m_widget) {
        m_widget = nullptr;
        delete editor;
    }
}

void GridEditor::setColInput(int col, ColumnInput input) {
    if (col < 0)
        return;
    if (size_t(col) >= m_inputs.size())
        m_inputs.resize(size_t(col) + 1);
    m_inputs[size_t(col)] = std::move(input);
}

const ColumnInput* GridEditor::colInput(int col) const {
    if (col < 0 || size_t(col) >= m_inputs.size())
        return nullptr;
    const ColumnInput& input = m_inputs[size_t(col)];
    if (!input.normalize && input.placeholder.isEmpty() && input.refusal.isEmpty() &&
        !input.isDate())
        return nullptr;
    return &input;
}

void GridEditor::open(GridModel& model, int row, int col, const QRect& rect, const QString& text) {
    if (m_widget)
        return;
    m_model = &model;
    m_row = row;
    m_col = col;
    const ColumnInput* input = colInput(col);
    const QString placeholder = input ? input->placeholder : QString();
    const bool checked = input && input->normalize;
    const QString list = model.colComboList(col);
    const int lineHeight = m_grid->fontMetrics().height();
    QWidget* viewport = m_grid->viewport();
    if (input && input->isDate()) {
        auto* edit = new QDateEdit(viewport);
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        edit->setDateRange(input->firstDate, input->lastDate);
        QDate day = input->readDate(text);
        if (!day.isValid() && input->emptyDate)
            day = input->emptyDate();
        edit->setDate(day.isValid() ? day : input->firstDate);
        m_widget = edit;
        edit->setGeometry(rect.x(), rect.y(), std::max(rect.width(), 110),
                          std::max(rect.height(), edit->sizeHint().height()));
    } else if (!list.isEmpty()) {
        auto* combo = new QComboBox(viewport);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        QStringList entries = list.split(u'|');
        if (!entries.isEmpty() && entries.first().isEmpty())
            entries.removeFirst();
        combo->addItems(entries);
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
        combo->lineEdit()->setPlaceholderText(placeholder);
        combo->lineEdit()->installEventFilter(this);
        m_widget = combo;
        combo->setGeometry(rect.x(), rect.y(), std::max(rect.width(), 80),
                           std::max(rect.height(), combo->sizeHint().height()));
    } else if (!checked && rect.height() >= lineHeight * 2 + 6) {
        auto* edit = new QPlainTextEdit(viewport);
        edit->setPlainText(text);
        edit->moveCursor(QTextCursor::End);
        edit->setFrameShape(QFrame::NoFrame);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setPlaceholderText(placeholder);
        m_widget = edit;
        edit->setGeometry(rect.adjusted(1, 1, -1, -1));
    } else {
        auto* edit = new QLineEdit(viewport);
        edit->setText(text);
        edit->setFrame(false);
        edit->setPlaceholderText(placeholder);
        m_widget = edit;
        edit->setGeometry(rect.x() + 1, rect.y() + 1, std::max(rect.width() - 2, 40),
                          std::max(rect.height() - 2, edit->sizeHint().height()));
    }
    m_widget->setFont(m_grid->font());
    // A screen reader names the editor by the cell: its column's and its row's headings.
    const QString name = GridAccessibility::cellLabel(model, row, col);
    m_widget->setAccessibleName(name);
    if (auto* combo = qobject_cast<QComboBox*>(m_widget.data()))
        combo->lineEdit()->setAccessibleName(name);
    m_widget->installEventFilter(this);
    m_widget->show();
    m_widget->setFocus(Qt::OtherFocusReason);
}

bool GridEditor::commit() {
    if (!m_widget)
        return true;
    QString text;
    if (auto* date = qobject_cast<QDateEdit*>(m_widget))
        text = colInput(m_col)->writeDate(date->date());
    else if (auto* combo = qobject_cast<QComboBox*>(m_widget))
        text = combo->currentText();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(m_widget))
        text = plain->toPlainText();
    else if (auto* line = qobject_cast<QLineEdit*>(m_widget))
        text = line->text();
    const int row = m_row, col = m_col;
    if (const ColumnInput* input = colInput(col); input && input->normalize) {
        const QString stored = input->normalize(text);
        if (stored.isNull()) {
            if (!input->refusal.isEmpty())
                QToolTip::showText(m_widget->mapToGlobal(QPoint(0, m_widget->height())),
                                   input->refusal, m_widget);
            return false;
        }
        text = stored;
    }
    QWidget* editor = m_widget;
    m_widget = nullptr;
    m_row = m_col = -1;
    editor->removeEventFilter(this);
    // Hiding the editor passes the focus on to the next widget of the window: it is
    // taken back to the grid when the editor had it.
    const bool hadFocus = editor->hasFocus();
    editor->hide();
    editor->deleteLater();
    if (hadFocus || !QApplication::focusWidget())
        m_grid->setFocus(Qt::OtherFocusReason);
    const bool changed = m_model && m_model->valid(row, col) &&
                         GridPainter::displayText(m_model->textMatrix(row, col)) != text;
    if (changed) {
        m_model->setTextMatrix(row, col, text);
        Q_EMIT edited(row, col);
    }
    m_grid->viewport()->update();
    return true;
}

void GridEditor::cancel() {
    if (!m_widget)
        return;
    QWidget* editor = m_widget;
    m_widget = nullptr;
    m_row = m_col = -1;
    editor->removeEventFilter(this);
    if (auto* combo = qobject_cast<QComboBox*>(editor); combo && combo->lineEdit())
        combo->lineEdit()->removeEventFilter(this);
    const bool hadFocus = editor->hasFocus();
    editor->hide();
    editor->deleteLater();
    if (hadFocus)
        m_grid->setFocus(Qt::OtherFocusReason);
    m_grid->viewport()->update();
}

void GridEditor::sendInputMethodEvent(QInputMethodEvent* event) {
    if (!m_widget)
        return;
    QWidget* target = m_widget;
    if (auto* combo = qobject_cast<QComboBox*>(m_widget))
        target = combo->lineEdit();
    QCoreApplication::sendEvent(target, event);
}

void GridEditor::commitAndMove(int dRow, int dCol) {
    if (commit())
        Q_EMIT moveRequested(dRow, dCol);
}

bool GridEditor::handleKey(int key, Qt::KeyboardModifiers modifiers) {
    auto* multiLine = qobject_cast<QPlainTextEdit*>(m_widget);
    // A drop-down and a date field use Up and Down themselves.
    const bool combo = qobject_cast<QComboBox*>(m_widget) != nullptr ||
                       qobject_cast<QDateEdit*>(m_widget) != nullptr;
    switch (key) {
    case Qt::Key_Escape:
        cancel();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (multiLine && modifiers & (Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier)) {
            multiLine->insertPlainText(QStringLiteral("\n"));
            return true;
        }
        commitAndMove(1, 0);
        return true;
    case Qt::Key_Tab:
        commitAndMove(0, 1);
        return true;
    case Qt::Key_Backtab:
        commitAndMove(0, -1);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (multiLine || combo)
            return false; // they move within the text or the list
        commitAndMove(key == Qt::Key_Up ? -1 : 1, 0);
        return true;
    default:
        return false;
    }
}

bool GridEditor::eventFilter(QObject* watched, QEvent* event) {
    if (!m_widget || (watched != m_widget && watched->parent() != m_widget))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (handleKey(key->key(), key->modifiers()))
            return true;
    } else if (event->type() == QEvent::FocusOut) {
        const auto* focus = static_cast<QFocusEvent*>(event);
        if (focus->reason() != Qt::PopupFocusReason &&
            focus->reason() != Qt::ActiveWindowFocusReason) {
            // Inside the editor, its drop-down list included (a window of its own whose
            // parent is the drop-down).
            bool inside = false;
            for (QWidget* w = QApplication::focusWidget(); w && !inside; w = w->parentWidget())
                inside = w == m_widget;
            if (!inside && !commit())
                cancel();
        }
    }
    return QObject::eventFilter(watched, event);
}
