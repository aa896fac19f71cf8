// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/filedialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {

class QtFileDialog : public FileDialog::Backend {
public:
    QString ask(QWidget* parent, const FileDialog::Request& r) override {
        if (r.folder)
            return QFileDialog::getExistingDirectory(parent, r.title, r.start);
        const QString filter = FileDialog::toQtFilter(r.filter);
        if (!r.save)
            return QFileDialog::getOpenFileName(parent, r.title, r.start, filter);
        QFileDialog dialog(parent, r.title, r.start, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        const QStringList filters = filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
        QStringList extensions;
        for (const QString& f : filters)
            extensions << FileDialog::filterExtension(f);
        // The kind of the suggested name is the one picked; picking another kind gives
        // the name that kind's extension.
        const QString suggestedExt = QFileInfo(r.start).suffix();
        for (qsizetype i = 0; i < filters.size(); ++i)
            if (!suggestedExt.isEmpty() &&
                extensions[i].compare(suggestedExt, Qt::CaseInsensitive) == 0)
                dialog.selectNameFilter(filters[i]);
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, extensions](const QString& picked) {
                             const QString ext = FileDialog::filterExtension(picked);
                             const QStringList typed = dialog.selectedFiles();
                             if (ext.isEmpty() || typed.isEmpty())
                                 return;
                             const QFileInfo name(typed.first());
                             if (name.isDir() ||
                                 !extensions.contains(name.suffix(), Qt::CaseInsensitive))
                                 return;
                             dialog.selectFile(name.completeBaseName() + u'.' + ext);
                         });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        QString chosen = dialog.selectedFiles().first();
        // A name typed without an extension takes the one of the kind chosen.
        const QString ext = FileDialog::filterExtension(dialog.selectedNameFilter());
        if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty() && !ext.isEmpty())
            chosen += u'.' + ext;
        return chosen;
    }
};

std::unique_ptr<FileDialog::Backend>& backend() {
    static std::unique_ptr<FileDialog::Backend> b = std::make_unique<QtFileDialog>();
    return b;
}

} // namespace

QString FileDialog::getSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& start) {
    return backend()->ask(parent, {true, title, filter, start});
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& start) {
    return backend()->ask(parent, {false, title, filter, start});
}

QString FileDialog::getExistingDirectory(QWidget* parent, const QString& title,
                                         const QString& start) {
    return backend()->ask(parent, {false, title, QString(), start, true});
}

QString FileDialog::toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& desc = parts[i];
        const QString& pattern = parts[i + 1];
        out.append(desc.contains(pattern) ? desc : desc + QStringLiteral(" (") + pattern + u')');
    }
    return out.join(QStringLiteral(";;"));
}

QString FileDialog::filterExtension(const QString& qtFilter) {
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
    const auto m = firstPattern.match(qtFilter);
    return m.hasMatch() ? m.captured(1) : QString();
}

void FileDialog::install(std::unique_ptr<Backend> b) {
    backend() = b ? std::move(b) : std::make_unique<QtFileDialog>();
}
