#include "platform/help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace {

class QtHelp : public Help::Backend {
public:
    bool show(QWidget*, const QString& path, QString* error) override {
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable()) {
            if (error)
                *error = QStringLiteral("ヘルプファイル「%1」を開けません。").arg(path);
            return false;
        }
        if (!m_window) {
            m_window = new QTextBrowser;
            m_window->setAttribute(Qt::WA_DeleteOnClose);
            m_window->setObjectName(QStringLiteral("ヘルプ"));
            m_window->setWindowTitle(QStringLiteral("デイログ ヘルプ"));
            m_window->setOpenExternalLinks(true);
            m_window->resize(760, 640);
        }
        m_window->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return true;
    }
    void closeAll() override {
        if (m_window)
            m_window->close();
    }

private:
    QPointer<QTextBrowser> m_window;
};

std::unique_ptr<Help::Backend>& current() {
    static std::unique_ptr<Help::Backend> b = std::make_unique<QtHelp>();
    return b;
}

} // namespace

bool Help::show(QWidget* parent, const QString& path, QString* error) {
    return current()->show(parent, path, error);
}

void Help::closeAll() {
    current()->closeAll();
}

QString Help::helpPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("daylogHelp.html"));
}

void Help::install(std::unique_ptr<Backend> b) {
    current() = b ? std::move(b) : std::make_unique<QtHelp>();
}
