// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/doubles.h"

#include <QDialog>
#include <QDir>
#include <QPrinter>

Printer::Result PdfPrinter::print(QWidget*, const QString& title,
                                  QPageLayout::Orientation orientation,
                                  const Printer::PaintJob& job) {
    if (cancel) {
        cancel = false;
        return Printer::Result::Cancelled;
    }
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
    return ok && printer.printerState() != QPrinter::Error ? Printer::Result::Printed
                                                           : Printer::Result::Failed;
}

QString ScriptedFileDialog::ask(QWidget*, const FileDialog::Request& request) {
    asked.append(request);
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

MessageBox::Button ScriptedMessageBox::show(QWidget*, const MessageBox::Request& request) {
    shown.append(request);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return MessageBox::buttonsOf(request.buttons).constFirst();
}

int ScriptedDialogs::run(QDialog& dialog) {
    asked.append(dialog.objectName());
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (!scripts.isEmpty())
        scripts.takeFirst()(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}
