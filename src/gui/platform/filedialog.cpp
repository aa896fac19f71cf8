#include "gui/platform/filedialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {

class QtFileDialog : public FileDialog::Backend {
public:
    QString ask(QWidget* parent, const FileDialog::Request& r) override {
        const QString filter = FileDialog::toQtFilter(r.filter);
        if (r.save) {
            QString selected;
            QString chosen = QFileDialog::getSaveFileName(
                parent, r.title, QString(), filter, &selected, QFileDialog::DontConfirmOverwrite);
            // A name typed without an extension takes the one of the kind chosen.
            static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
            const auto m = firstPattern.match(selected);
            if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty() && m.hasMatch())
                chosen += u'.' + m.captured(1);
            return chosen;
        }
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
