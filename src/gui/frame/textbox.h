// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/pages/diarypage.h"
#include "gui/platform/paperpaint.h"

#include <QPlainTextEdit>

// A text box of a page: plain text with a text and a background colour kept as stored
// values. Its clipboard keys and context menu use the program's clipboard; a paste is
// refused with a message when it is too large.
class TextBox : public QPlainTextEdit, public PaperPaintable {
    Q_OBJECT
public:
    // Pastes larger than this are refused: a page must always be saved and read back.
    static constexpr int MaxPaste = 100000;

    TextBox(const QString& objectName, int lines, QWidget* parent = nullptr);

    // Shows a box of the store without counting as an edit.
    void setBox(const PageBox& box);
    PageBox box() const;

    quint32 foreValue() const { return m_fore; }
    quint32 backValue() const { return m_back; }
    void setForeValue(quint32 value);
    void setBackValue(quint32 value);
    QColor textColor() const;
    QColor backColor() const;

    // The text editing commands on this box.
    void copySelection();
    void cutSelection();
    void pasteClipboard();
    void deleteSelection();
    void selectAllText();

    void paintOnPaper(QPainter& p) override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The user changed the text or its colour.
    void edited();
    void keyPressed();
    void doubleClicked();

protected:
    // A box with the keyboard focus is framed in the highlight colour.
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool pasteAllowed(const QString& text);
    void applyColors();

    quint32 m_fore = 0;
    quint32 m_back = SystemWindowColor;
    int m_lines;
    bool m_loading = false;
};
