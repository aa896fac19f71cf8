// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

namespace {

// The windows' sections: the objectName of a window and the anchor of its section.
// The calendar window is also known by its clock's name, picMain.
struct WindowSection {
    const char16_t* window;
    const char16_t* section;
};
constexpr WindowSection WindowSections[] = {
    {u"カレンダー", u"calendar"}, {u"picMain", u"calendar"}, {u"日記", u"diary"},
    {u"週日程", u"weekly"},       {u"月日程", u"monthly"},   {u"frmMain", u"main"},
    {u"年間", u"annual"},         {u"ToDo一覧", u"todo"},    {u"記録統計", u"recordstats"},
    {u"項目統計", u"itemstats"},  {u"検索", u"search"},
};

class QtHelp : public Help::Backend {
public:
    bool show(QWidget*, const QString& path, const QString& section, QString* error) override {
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
            m_window->document()->setDocumentMargin(12);
            m_window->resize(800, 660);
            // Escape closes it, as it closes the windows beside the views.
            new QShortcut(QKeySequence(Qt::Key_Escape), m_window, m_window.data(), &QWidget::close);
        }
        // The browser scrolls to the anchor named by the fragment, and to the top
        // without one.
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        if (!section.isEmpty())
            url.setFragment(section);
        m_window->setSource(url);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return true;
    }
    void closeAll() override {
        if (m_window)
            m_window->close();
    }
    QString helpPath() const override {
        return Help::helpPathIn(QCoreApplication::applicationDirPath());
    }

private:
    QPointer<QTextBrowser> m_window;
};

std::unique_ptr<Help::Backend>& current() {
    static std::unique_ptr<Help::Backend> b = std::make_unique<QtHelp>();
    return b;
}

} // namespace

bool Help::show(QWidget* parent, const QString& path, const QString& section, QString* error) {
    return current()->show(parent, path, section, error);
}

void Help::closeAll() {
    current()->closeAll();
}

QString Help::helpPath() {
    return current()->helpPath();
}

QString Help::helpPathIn(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QStringLiteral("daylogHelp.html"));
    const QString installed =
        QDir::cleanPath(folder.filePath(QStringLiteral("../share/daylog/daylogHelp.html")));
    return !QFileInfo(beside).isFile() && QFileInfo(installed).isFile() ? installed : beside;
}

QString Help::sectionOf(const QString& windowName) {
    for (const WindowSection& w : WindowSections)
        if (windowName == QStringView(w.window))
            return QString::fromUtf16(w.section);
    return {};
}

QStringList Help::sections() {
    QStringList all;
    for (const WindowSection& w : WindowSections)
        if (!all.contains(QStringView(w.section)))
            all.append(QString::fromUtf16(w.section));
    return all;
}

void Help::install(std::unique_ptr<Backend> b) {
    current() = b ? std::move(b) : std::make_unique<QtHelp>();
}
