// SPDX-License-Identifier: GPL-3.0-or-later
// `cmake --install` into a temporary prefix, then the installed tree looked at as a
// desktop sees it: the programs, the desktop entry, the icon, and the file types
// through Qt's MIME database (which reads the same shared-mime-info files as the file
// managers do).

#include "core/grid/gridfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& args,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

const QStringList FileTypes = {u"application/x-daylog-document"_s,
                               u"application/x-daylog-record-template"_s,
                               u"application/x-daylog-item-template"_s};

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_prefix;
    QString m_share;

    // The [Desktop Entry] group of the installed entry, key by key.
    QHash<QString, QString> desktopEntry() const {
        QHash<QString, QString> keys;
        QFile f(m_share + u"/applications/daylog.desktop"_s);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return keys;
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        bool inEntry = false;
        for (const QString& line : lines) {
            if (line.startsWith(u'['))
                inEntry = line == u"[Desktop Entry]"_s;
            else if (inEntry && line.contains(u'='))
                keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
        }
        return keys;
    }

    // Runs update-caches.cmake as an install into `prefix` would, the build having been
    // configured for `configured`.
    Run updateCaches(const QString& prefix, const QString& configured, const QString& destdir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"DESTDIR"_s, destdir);
        return run(qEnvironmentVariable("CMAKE_COMMAND"),
                   {u"-DCMAKE_INSTALL_PREFIX="_s + prefix,
                    u"-Ddaylog_configured_prefix="_s + configured, u"-Ddaylog_datadir="_s + m_share,
                    u"-P"_s,
                    qEnvironmentVariable("DAYLOG_SOURCE_DIR") + u"/data/update-caches.cmake"_s},
                   env);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_prefix = m_root.filePath(u"usr"_s);
        m_share = m_prefix + u"/share"_s;
        const Run install = run(
            qEnvironmentVariable("CMAKE_COMMAND"),
            {u"--install"_s, qEnvironmentVariable("DAYLOG_BUILD_DIR"), u"--prefix"_s, m_prefix});
        QVERIFY2(install.exitCode == 0, install.err.constData());
        // Only the installed types and the system's own, not the user's.
        qputenv("XDG_DATA_HOME", m_root.filePath(u"home"_s).toUtf8());
        qputenv("XDG_DATA_DIRS", (m_share + u":/usr/share"_s).toUtf8());
    }

    void theProgramsAndTheIconAreInstalled() {
        for (const QString& name : {u"daylog"_s, u"daylog-tool"_s})
            QVERIFY2(QFileInfo(m_prefix + u"/bin/"_s + name).isExecutable(), qPrintable(name));
        const Run version = run(m_prefix + u"/bin/daylog-tool"_s, {u"--version"_s});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out.trimmed(), QByteArray("daylog-tool " DAYLOG_VERSION));

        const QString icons = m_share + u"/icons/hicolor/"_s;
        QVERIFY(QFile::exists(icons + u"scalable/apps/daylog.svg"_s));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString path = icons + u"%1x%1/apps/daylog.png"_s.arg(size);
            QFile png(path);
            QVERIFY2(png.open(QIODevice::ReadOnly), qPrintable(path));
            // The signature, then the header chunk with the width and height.
            const QByteArray head = png.read(24);
            QCOMPARE(head.left(16), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
            QCOMPARE(qFromBigEndian<quint32>(head.constData() + 16), quint32(size));
            QCOMPARE(qFromBigEndian<quint32>(head.constData() + 20), quint32(size));
        }
    }

    // Exec takes the file as one argument; the entry opens year documents (the
    // program cannot open a template from the command line), and every file kind is
    // described by the installed MIME package; the icon it names is installed.
    void theDesktopEntryOpensTheInstalledFileTypes() {
        const QHash<QString, QString> entry = desktopEntry();
        QCOMPARE(entry.value(u"Type"_s), u"Application"_s);
        QCOMPARE(entry.value(u"Name[ja]"_s), u"デイログ"_s);
        QCOMPARE(entry.value(u"Exec"_s), u"daylog %f"_s);
        QVERIFY(QFile::exists(m_share + u"/icons/hicolor/256x256/apps/"_s + entry.value(u"Icon"_s) +
                              u".png"_s));
        QCOMPARE(entry.value(u"MimeType"_s).split(u';', Qt::SkipEmptyParts),
                 QStringList{FileTypes[0]});

        QMimeDatabase db;
        const QStringList globs = {u"*.dys"_s, u"*.dyy"_s, u"*.dyz"_s};
        for (qsizetype i = 0; i < FileTypes.size(); ++i) {
            const QMimeType type = db.mimeTypeForName(FileTypes[i]);
            QVERIFY2(type.isValid(), qPrintable(FileTypes[i]));
            QCOMPARE(type.globPatterns(), QStringList{globs[i]});
            QVERIFY(type.inherits(u"text/plain"_s));
        }
    }

    void theDesktopEntryPassesValidation() {
        const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
        if (validator.isEmpty())
            QSKIP("desktop-file-validate (desktop-file-utils) is not installed");
        const Run r = run(validator, {m_share + u"/applications/daylog.desktop"_s});
        QVERIFY2(r.exitCode == 0 && r.out.isEmpty(), r.out.constData());
    }

    // Staged installs (DESTDIR, another prefix, a package being built) leave the
    // caches alone; an install into the configured prefix brings them up to date.
    void theCachesAreUpdatedOnlyForAnInstallIntoTheConfiguredPrefix() {
        const QString mimeCache = m_share + u"/mime/mime.cache"_s;
        const QString appCache = m_share + u"/applications/mimeinfo.cache"_s;
        const QString elsewhere = m_root.filePath(u"elsewhere"_s);
        for (const auto& [prefix, destdir] :
             {std::pair{m_prefix, m_root.filePath(u"stage"_s)}, std::pair{elsewhere, QString()}}) {
            const Run r = updateCaches(prefix, m_prefix, destdir);
            QVERIFY2(r.exitCode == 0, r.err.constData());
            QVERIFY(!QFile::exists(mimeCache));
            QVERIFY(!QFile::exists(appCache));
        }
        const bool haveTools =
            !QStandardPaths::findExecutable(u"update-mime-database"_s).isEmpty() &&
            !QStandardPaths::findExecutable(u"update-desktop-database"_s).isEmpty();
        const Run r = updateCaches(m_prefix, m_prefix, QString());
        QVERIFY2(r.exitCode == 0, r.err.constData());
        if (!haveTools)
            QSKIP("update-mime-database or update-desktop-database is not installed");
        // No warning about the MIME package.
        QVERIFY2(!r.err.contains("arning"), r.err.constData());
        QVERIFY(QFile::exists(mimeCache));
        QFile apps(appCache);
        QVERIFY(apps.open(QIODevice::ReadOnly));
        const QByteArray cache = apps.readAll();
        QVERIFY2(cache.contains(FileTypes[0].toUtf8() + "=daylog.desktop;"), cache.constData());
    }

    // The name decides; without a known extension a year document is still told by
    // its first lines, and no other grid is taken for one.
    void filesAreRecognisedByNameAndDocumentsByContent_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("type");
        const QString doc = FileTypes[0];
        QTest::newRow("document") << u"年度 2026.dys"_s << u"year"_s << doc;
        QTest::newRow("document without extension") << u"year"_s << u"year"_s << doc;
        QTest::newRow("record template") << u"keys.dyy"_s << u"template"_s << FileTypes[1];
        QTest::newRow("item template") << u"keys.dyz"_s << u"template"_s << FileTypes[2];
        QTest::newRow("template without extension")
            << u"keys"_s << u"template"_s << u"text/plain"_s;
        QTest::newRow("text naming the format") << u"notes"_s << u"text"_s << u"text/plain"_s;
    }
    void filesAreRecognisedByNameAndDocumentsByContent() {
        QFETCH(QString, name);
        QFETCH(QString, content);
        QFETCH(QString, type);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (content == u"year"_s) {
            const Run r = run(m_prefix + u"/bin/daylog-tool"_s, {u"new"_s, u"2026"_s, path});
            QVERIFY2(r.exitCode == 0, r.err.constData());
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (content == u"template"_s)
                f.write(GridFile::serialize(51, 4, std::vector<GridCell>(51 * 4)));
            else
                f.write("DayLogGrid\t1\n367 rows, 20 columns\n");
        }
        QCOMPARE(QMimeDatabase().mimeTypeForFile(path).name(), type);
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
