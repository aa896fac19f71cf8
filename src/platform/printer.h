#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QWidget;

// Printing goes through here, so tests can print to PDF files. A job paints its
// pages with QPainter onto the device it is given (real, selectable text).
class Printer {
public:
    // Paints every page; call device->newPage() between pages. Returns false when
    // the job failed.
    using PaintJob = std::function<bool(QPagedPaintDevice* device)>;

    class Backend {
    public:
        virtual ~Backend() = default;
        // Returns false when printing did not happen (no printer, cancelled).
        virtual bool print(QWidget* parent, const QString& title,
                           QPageLayout::Orientation orientation, const PaintJob& job) = 0;
    };

    static bool print(QWidget* parent, const QString& title, QPageLayout::Orientation orientation,
                      const PaintJob& job);
    static void install(std::unique_ptr<Backend> backend);
};

// Test double: every job is printed to a new PDF file in `folder`.
class PdfPrinter : public Printer::Backend {
public:
    explicit PdfPrinter(const QString& folder) : m_folder(folder) {}
    bool print(QWidget* parent, const QString& title, QPageLayout::Orientation orientation,
               const Printer::PaintJob& job) override;
    QList<QString> files;
    QList<QPageLayout::Orientation> orientations;

private:
    QString m_folder;
};
