// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridfile.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/time/clock.h"
#include "gui/app/firstpaint.h"
#include "gui/app/startup.h"
#include "gui/frame/artwork.h"
#include "gui/platform/singleinstance.h"
#include "gui/platform/termination.h"
#include "gui/platform/uisetup.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char Usage[] =
    "使い方: daylog [オプション] [FILE]\n"
    "  年度の文書 FILE を開きます。FILE がないときは年度を尋ねて新しい文書を作ります。\n"
    "  プログラムがすでに動いているときは、そのプログラムが FILE を開きます。\n"
    "\n"
    "  --help, -h    この使い方を表示します。\n"
    "  --version     版を表示します。\n"
    "  --            これより後をファイル名として読みます(「-」で始まる名前に)。\n"
    "\n"
    "  Qt の表示のオプション(-platform、-style など)も使えます。\n";

// `text` to standard output, all of it arriving: 0, else 1 after a message.
int print(const char* text) {
    errno = 0;
    const bool failed = std::fputs(text, stdout) < 0 || std::fflush(stdout) != 0 ||
                        std::ferror(stdout) || std::fclose(stdout) != 0;
    if (!failed)
        return 0;
    const QString why = GridFile::systemErrorText(errno ? errno : EIO);
    std::fprintf(stderr, "daylog: 標準出力に書き込めませんでした（%s）。\n",
                 why.toUtf8().constData());
    return 1;
}

// --help and --version are answered before anything of the program starts (no display,
// no other program asked): the exit code, or -1 to go on. "--" ends the options.
int answerAtOnce(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0)
            break;
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)
            return print(Usage);
        if (std::strcmp(a, "--version") == 0)
            return print("daylog " DAYLOG_VERSION "\n");
    }
    return -1;
}

// The arguments left after Qt took its own: an option of no one's is refused (2)
// with the usage; "--" before the file name is dropped. 0 when all is well.
int takeOptions(QStringList& args) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--") {
            args.removeAt(i);
            return 0;
        }
        if (args[i].startsWith(u'-') && args[i] != u"-") {
            std::fprintf(stderr, "daylog: オプション「%s」はありません。\n%s",
                         args[i].toUtf8().constData(), Usage);
            return 2;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const int code = answerAtOnce(argc, argv); code >= 0)
        return code;
    QString clockError;
    if (!installClockFromEnvironment(&clockError)) {
        std::fprintf(stderr, "daylog: %s\n", clockError.toUtf8().constData());
        return 2;
    }
    QApplication app(argc, argv);
    setupJapaneseUi(app);
    QApplication::setWindowIcon(Artwork::programIcon());
    watchFirstPaint(app);

    // The command line is one string: the arguments after the program's name, as the
    // shell passed them, joined again by blanks (Qt's own options already removed).
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (const int code = takeOptions(args))
        return code;
    const QString commandLine = args.join(u' ');

    // One program per user: a second start hands its document to the running program
    // (which opens it, or brings it to the front) and ends at once.
    SingleInstance instance;
    QStringList request;
    if (!commandLine.isEmpty())
        request.append(QFileInfo(commandLineDocPath(commandLine)).absoluteFilePath());
    if (instance.start(SingleInstance::serverName(), request, 3000) ==
        SingleInstance::Start::HandedOver)
        return 0;

    // The program ends only from the calendar window, after its save question.
    QApplication::setQuitOnLastWindowClosed(false);
    Startup startup(App());
    QObject::connect(&instance, &SingleInstance::requested, &startup, &Startup::takeRequest);
    QObject::connect(&startup, &Startup::programEnding, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // A shutdown or a logout does not wait for the user: the unsaved changes of every
    // document go into their recovery copies first.
    Termination termination;
    QObject::connect(&termination, &Termination::ending, &startup,
                     [&startup] { startup.recovery().writeNow(); });
    startup.Main(commandLine);
    const int status = app.exec();
    // However the program ended, no document stays marked as open here.
    for (Document* doc : App().documents())
        doc->lock().release();
    return status;
}
