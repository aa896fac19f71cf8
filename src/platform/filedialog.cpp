#include "platform/filedialog.h"

#include <QFileDialog>
#include <QStringList>

namespace {

class QtFileDialog : public FileDialog::Backend {
public:
    QString ask(QWidget* parent, const FileDialog::Request& r) override {
        const QString filter = FileDialog::toQtFilter(r.filter);
        if (r.save)
            return QFileDialog::getSaveFileName(parent, r.title, QString(), filter, nullptr,
                                                QFileDialog::DontConfirmOverwrite);
        return QFileDialog::getOpenFileName(parent, r.title, QString(), filter);
    }
};

std::unique_ptr<FileDialog::Backend>& backend() {
    static std::unique_ptr<FileDialog::Backend> b = std::make_unique<QtFileDialog>();
    return b;
}

} // namespace

QString FileDialog::getSaveFileName(QWidget* parent, const QString& title, const QString& filter) {
    return backend()->ask(parent, {true, title, filter});
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& title, const QString& filter) {
    return backend()->ask(parent, {false, title, filter});
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

void FileDialog::install(std::unique_ptr<Backend> b) {
    backend() = b ? std::move(b) : std::make_unique<QtFileDialog>();
}

QString ScriptedFileDialog::ask(QWidget*, const FileDialog::Request& request) {
    asked.append(request);
    return answers.isEmpty() ? QString() : answers.takeFirst();
}
