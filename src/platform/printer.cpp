#include "platform/printer.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// The default printer with the default page settings; where the system has no
// printer the print dialog offers printing to a PDF file instead.
class QtPrinter : public Printer::Backend {
public:
    bool print(QWidget* parent, const QString& title, QPageLayout::Orientation orientation,
               const Printer::PaintJob& job) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(title);
        printer.setPageOrientation(orientation);
        if (QPrinterInfo::defaultPrinter().isNull()) {
            QPrintDialog dialog(&printer, parent);
            dialog.setWindowTitle(QStringLiteral("印刷"));
            if (dialog.exec() != QDialog::Accepted)
                return false;
        }
        return job(&printer);
    }
};

std::unique_ptr<Printer::Backend>& current() {
    static std::unique_ptr<Printer::Backend> b = std::make_unique<QtPrinter>();
    return b;
}

} // namespace

bool Printer::print(QWidget* parent, const QString& title, QPageLayout::Orientation orientation,
                    const PaintJob& job) {
    return current()->print(parent, title, orientation, job);
}

void Printer::install(std::unique_ptr<Backend> b) {
    current() = b ? std::move(b) : std::make_unique<QtPrinter>();
}

bool PdfPrinter::print(QWidget*, const QString& title, QPageLayout::Orientation orientation,
                       const Printer::PaintJob& job) {
    const QString path =
        QDir(m_folder).filePath(QStringLiteral("print-%1.pdf").arg(files.size() + 1));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(title);
    printer.setPageOrientation(orientation);
    const bool ok = job(&printer);
    files.append(path);
    orientations.append(orientation);
    return ok;
}
