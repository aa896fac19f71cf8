// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/printer.h"

#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

// The print preview, whose print button opens the print dialog (or, where the system
// has no printing service, asks for a PDF file).
class QtPrinter : public Printer::Backend {
public:
    Printer::Result print(QWidget* parent, const QString& title,
                          QPageLayout::Orientation orientation,
                          const Printer::PaintJob& job) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(title);
        printer.setPageOrientation(orientation);
        QPrintPreviewDialog preview(&printer, parent);
        preview.setWindowTitle(QStringLiteral("印刷プレビュー"));
        preview.resize(900, 680);
        bool lastJobOk = true;
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&](QPrinter* p) { lastJobOk = job(p); });
        if (preview.exec() != QDialog::Accepted)
            return Printer::Result::Cancelled;
        // The last job painted the printed pages (the preview's came before it).
        if (!lastJobOk || printer.printerState() == QPrinter::Error)
            return Printer::Result::Failed;
        return Printer::Result::Printed;
    }
};

std::unique_ptr<Printer::Backend>& current() {
    static std::unique_ptr<Printer::Backend> b = std::make_unique<QtPrinter>();
    return b;
}

} // namespace

Printer::Result Printer::print(QWidget* parent, const QString& title,
                               QPageLayout::Orientation orientation, const PaintJob& job) {
    return current()->print(parent, title, orientation, job);
}

void Printer::install(std::unique_ptr<Backend> b) {
    current() = b ? std::move(b) : std::make_unique<QtPrinter>();
}
