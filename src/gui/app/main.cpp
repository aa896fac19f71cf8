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

#include <cstdio>

int main(int argc, char** argv) {
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
