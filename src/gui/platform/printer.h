// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QWidget;

// Printing goes through here, so tests can print to PDF files. A job paints its
// pages with QPainter onto the device it is given (real, selectable text). On screen
// the job is shown in a print preview first, from which the user prints through the
// print dialog.
class Printer {
public:
    enum class Result { Printed, Cancelled, Failed };

    // Paints every page; call device->newPage() between pages. Returns false when
    // the job failed.
    using PaintJob = std::function<bool(QPagedPaintDevice* device)>;

    class Backend {
    public:
        virtual ~Backend() = default;
        virtual Result print(QWidget* parent, const QString& title,
                             QPageLayout::Orientation orientation, const PaintJob& job) = 0;
    };

    static Result print(QWidget* parent, const QString& title, QPageLayout::Orientation orientation,
                        const PaintJob& job);
    static void install(std::unique_ptr<Backend> backend);
};
