// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/textbox.h"

#include "core/store/documentfile.h"
#include "gui/grid/gridcolors.h"
#include "gui/platform/clipboard.h"
#include "gui/platform/messagebox.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

TextBox::TextBox(const QString& objectName, int lines, QWidget* parent)
    : QPlainTextEdit(parent), m_lines(lines) {
    setObjectName(objectName);
    setTabChangesFocus(true);
    setFrameShape(QFrame::StyledPanel);
    setViewportMargins(1, 1, 1, 1); // room for the focus frame
    setSizePolicy(QSizePolicy::Expanding,
                  lines > 1 ? QSizePolicy::Expanding : QSizePolicy::Preferred);
    document()->setDocumentMargin(3);
    applyColors();
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_loading)
            Q_EMIT edited();
    });
}

bool TextBox::event(QEvent* event) {
    const bool done = QPlainTextEdit::event(event);
    // The frame around the text is the box's own paint (the text is the viewport's):
    // a ring one pixel wide between the two takes the highlight colour, with the frame,
    // while the box has the keyboard focus, and the text's background otherwise.
    if (event->type() == QEvent::Paint) {
        QPainter p(this);
        p.setBrush(Qt::NoBrush);
        if (hasFocus()) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 2));
            p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        } else {
            p.setPen(QPen(palette().color(QPalette::Base), 1));
            p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
        }
    }
    return done;
}

void TextBox::focusInEvent(QFocusEvent* event) {
    update();
    QPlainTextEdit::focusInEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    update();
    QPlainTextEdit::focusOutEvent(event);
}

void TextBox::setBox(const PageBox& b) {
    m_loading = true;
    if (toPlainText() != b.text) {
        // The document's own setPlainText lays the text out once; the editor's would
        // lay it out twice more (it selects the whole new text to reset its format,
        // and it places the cursor visually). The cursor ends after the text, ready
        // for adding to it; the box shows the text from its beginning.
        document()->setPlainText(b.text);
        verticalScrollBar()->setValue(0);
    }
    m_loading = false;
    if (b.fore != m_fore || b.back != m_back) {
        m_fore = b.fore;
        m_back = b.back;
        applyColors();
    }
}

PageBox TextBox::box() const {
    return {toPlainText(), m_fore, m_back};
}

void TextBox::setForeValue(quint32 value) {
    m_fore = value;
    applyColors();
}

void TextBox::setBackValue(quint32 value) {
    m_back = value;
    applyColors();
}

QColor TextBox::textColor() const {
    return GridColors::toQColor(m_fore, Qt::black, QPalette());
}

QColor TextBox::backColor() const {
    return GridColors::toQColor(m_back, QPalette().color(QPalette::Base), QPalette());
}

void TextBox::applyColors() {
    QPalette pal = palette();
    pal.setColor(QPalette::Text, textColor());
    pal.setColor(QPalette::Base, backColor());
    setPalette(pal);
}

void TextBox::copySelection() {
    Clipboard::clear();
    Clipboard::setText(textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
}

void TextBox::cutSelection() {
    copySelection();
    textCursor().removeSelectedText();
    Q_EMIT edited();
}

void TextBox::pasteClipboard() {
    // Nothing to paste leaves the selection as it is.
    if (!Clipboard::hasText())
        return;
    // A NUL character is nothing a text can hold: it is left out.
    const QString text = Clipboard::text().remove(QChar(u'\0'));
    if (!pasteAllowed(text))
        return;
    textCursor().insertText(text);
    Q_EMIT edited();
}

void TextBox::deleteSelection() {
    textCursor().removeSelectedText();
    Q_EMIT edited();
}

void TextBox::selectAllText() {
    QTextCursor c = textCursor();
    c.setPosition(0);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

bool TextBox::pasteAllowed(const QString& text) {
    // One box is one text of a day: what it holds after the paste (the selection
    // replaced) must fit into one, however often the user pastes.
    const QTextCursor c = textCursor();
    const qsizetype after =
        toPlainText().size() - (c.selectionEnd() - c.selectionStart()) + text.size();
    if (text.size() <= MaxPaste && after <= DocLimits::MaxTextChars)
        return true;
    MessageBox::show(window(),
                     text.size() > MaxPaste
                         ? QStringLiteral("貼り付ける文字が多すぎます。一度に貼り付けられるのは%1"
                                          "文字までです。")
                               .arg(MaxPaste)
                         : QStringLiteral("貼り付けると、この欄の文字が%1文字を超えます。"
                                          "1つの欄に入るのは%1文字までです。")
                               .arg(DocLimits::MaxTextChars),
                     MessageBox::OkOnly, MessageBox::Warning);
    return false;
}

void TextBox::paintOnPaper(QPainter& p) {
    const QRectF r(QPointF(0, 0), QSizeF(size()));
    p.fillRect(r, backColor());
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    const qreal margin = frameWidth() + document()->documentMargin();
    p.setFont(paperFont(font()));
    p.setPen(textColor());
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    p.drawText(r.adjusted(margin, margin, -margin, -margin), toPlainText(), option);
}

QSize TextBox::sizeHint() const {
    const int line = fontMetrics().lineSpacing();
    return {200, line * m_lines + 2 * frameWidth() + 8};
}

QSize TextBox::minimumSizeHint() const {
    const int line = fontMetrics().lineSpacing();
    return {60, line * std::min(m_lines, 2) + 2 * frameWidth() + 8};
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    Q_EMIT keyPressed();
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (event == QKeySequence::Copy) {
        copySelection();
        event->accept();
    } else if (event == QKeySequence::Cut) {
        cutSelection();
        event->accept();
    } else if (event == QKeySequence::Paste) {
        pasteClipboard();
        event->accept();
    } else {
        QPlainTextEdit::keyPressEvent(event);
    }
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    Q_EMIT doubleClicked();
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    // The standard menu, with its clipboard items going through the program's
    // clipboard like the keys and the edit menu.
    QMenu* menu = createStandardContextMenu(event->pos());
    const auto rewire = [&](const char* name, void (TextBox::*run)()) {
        if (QAction* a = menu->findChild<QAction*>(QString::fromLatin1(name))) {
            disconnect(a, &QAction::triggered, nullptr, nullptr);
            connect(a, &QAction::triggered, this, run);
            if (QByteArrayView(name) == "edit-paste")
                a->setEnabled(!isReadOnly() && Clipboard::hasText());
        }
    };
    rewire("edit-cut", &TextBox::cutSelection);
    rewire("edit-copy", &TextBox::copySelection);
    rewire("edit-paste", &TextBox::pasteClipboard);
    rewire("edit-delete", &TextBox::deleteSelection);
    rewire("select-all", &TextBox::selectAllText);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool TextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    // Dropped text: plain text only, within the same bound as a paste.
    if (!source->hasText())
        return;
    const QString text = source->text().remove(QChar(u'\0'));
    if (!pasteAllowed(text))
        return;
    textCursor().insertText(text);
}
