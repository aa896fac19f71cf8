// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

class QtClipboard : public Clipboard::Backend {
public:
    bool hasText() const override {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data && data->hasText();
    }
    QString text() const override { return QGuiApplication::clipboard()->text(); }
    void clear() override { QGuiApplication::clipboard()->clear(); }
    void setText(const QString& text) override { QGuiApplication::clipboard()->setText(text); }
};

std::unique_ptr<Clipboard::Backend>& current() {
    static std::unique_ptr<Clipboard::Backend> b = std::make_unique<QtClipboard>();
    return b;
}

} // namespace

Clipboard::Backend& Clipboard::backend() {
    return *current();
}

void Clipboard::install(std::unique_ptr<Backend> b) {
    current() = b ? std::move(b) : std::make_unique<QtClipboard>();
}
