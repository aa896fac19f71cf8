#include "app/artwork.h"
#include "app/firstpaint.h"
#include "app/startup.h"
#include "platform/clock.h"
#include "platform/termination.h"
#include "platform/uisetup.h"
#include "store/appstate.h"

#include <QApplication>
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
    // The program ends only from the calendar window, after its save question.
    QApplication::setQuitOnLastWindowClosed(false);
    Startup startup(App());
    QObject::connect(&startup, &Startup::programEnding, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // A shutdown or a logout does not wait for the user: the unsaved changes of every
    // document go into their recovery copies first.
    Termination termination;
    QObject::connect(&termination, &Termination::ending, &startup,
                     [&startup] { startup.recovery().writeNow(); });
    startup.Main(args.join(u' '));
    return app.exec();
}
