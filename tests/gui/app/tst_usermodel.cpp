// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded random sessions of a user across every window and up to four open documents,
// checked after every step against a reference model of what each document must hold
// (tests/gui/app/usermodel/). A difference is shrunk to the shortest sequence of steps that
// still shows it, printed as readable lines.
//
//   DAYLOG_MODEL_SEED      the seed (default: random); always printed
//   DAYLOG_MODEL_STEPS     steps in all (default 2000), in sessions of 20 to 60 steps,
//                          each with a fresh program
//   DAYLOG_MODEL_FAILURES  how many different kinds of difference to look for before
//                          stopping (default 1); each is reported once
//   DAYLOG_MODEL_SESSION   run only this session of the seed
//   DAYLOG_MODEL_SHRINK    the most runs one shrinking may take (default 300)
//   DAYLOG_MODEL_PROGRESS  1: a line for every session (to find one that crashed)
//   DAYLOG_MODEL_REPLAY    runs the one sequence given (as a report prints it) instead
//   DAYLOG_MODEL_KNOWN     kinds of difference to look past, comma-separated, as the
//                          reports name them (question-unnamed, file-colour, ended@End…)

#include "usermodel/runner.h"

#include <QTest>

using namespace UserModel;

namespace {

// A long run (DAYLOG_MODEL_STEPS) is one test function: QtTest's watchdog, five minutes
// a function unless told otherwise, would stop it. Set before QtTest starts it.
const bool g_longRunsAllowed = [] {
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "604800000");
    return true;
}();

QtMessageHandler g_previous = nullptr;

// The offscreen platform says so each time a window is raised; nothing else is hidden.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_previous(type, context, text);
}

int envInt(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

} // namespace

class TestUserModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        g_previous = qInstallMessageHandler(quietHandler);
        for (int y = 2005; y <= 2007; ++y)
            QVERIFY(Probe::makeNewYear(y, m_templates.filePath(QStringLiteral("%1.dys").arg(y))));
    }

    // Whatever the user does in whichever window, every edit ends in its document's
    // file or is given up only after a question naming the document; nothing else
    // changes a file.
    void everyEditIsKeptOrAskedAboutByName() {
        bool seeded = false;
        quint64 seed = qEnvironmentVariable("DAYLOG_MODEL_SEED").toULongLong(&seeded);
        if (!seeded)
            seed = QRandomGenerator::global()->generate64() % 1000000000ull;
        const int steps = envInt("DAYLOG_MODEL_STEPS", 2000);
        const int wanted = envInt("DAYLOG_MODEL_FAILURES", 1);
        const int only = envInt("DAYLOG_MODEL_SESSION", -1);
        const int budget = envInt("DAYLOG_MODEL_SHRINK", 300);
        const bool progress = envInt("DAYLOG_MODEL_PROGRESS", 0) > 0;

        Runner runner(m_templates.path());
        for (const QString& kind :
             qEnvironmentVariable("DAYLOG_MODEL_KNOWN").split(u',', Qt::SkipEmptyParts))
            runner.tolerated.insert(kind.trimmed());
        if (qEnvironmentVariableIsSet("DAYLOG_MODEL_REPLAY")) {
            const auto script = Script::decode(qEnvironmentVariable("DAYLOG_MODEL_REPLAY"));
            QVERIFY2(script, "DAYLOG_MODEL_REPLAY is not a sequence the reports print");
            const RunResult r = runner.replay(*script);
            for (int i = 0; i < r.lines.size(); ++i)
                print(QStringLiteral("  %1. %2").arg(i + 1, 2).arg(r.lines[i]));
            QVERIFY2(r.status == RunResult::Passed,
                     qPrintable(QStringLiteral("[%1] %2").arg(r.failure.kind, r.failure.text)));
            return;
        }
        print(QStringLiteral("DAYLOG_MODEL_SEED=%1 DAYLOG_MODEL_STEPS=%2").arg(seed).arg(steps));
        quint64 state = seed;
        QStringList found;
        int done = 0, sessions = 0;
        QElapsedTimer t;
        t.start();
        for (int index = 0; done < steps && int(found.size()) < wanted; ++index) {
            const quint64 sessionSeed = splitmix(state);
            const int length = 20 + int(sessionSeed % 41);
            if (only >= 0 && index != only) {
                done += length;
                continue;
            }
            Script script;
            script.firstYear = 2005 + int((sessionSeed >> 8) % 3);
            if (progress)
                print(QStringLiteral("session %1: %2 steps from %3.dys (DAYLOG_MODEL_SESSION=%1)")
                          .arg(index)
                          .arg(length)
                          .arg(script.firstYear));
            const RunResult r = runner.generate(script, sessionSeed, length);
            done += std::max(r.steps, 1);
            ++sessions;
            if (r.status == RunResult::Failed) {
                found << runner.report(
                    script, r, QStringLiteral("seed %1, session %2").arg(seed).arg(index), budget);
                runner.tolerated.insert(r.failure.kind);
            }
            if (only >= 0)
                break;
        }
        print(QStringLiteral("%1 steps in %2 sessions, %3 s (%4 ms a step); seed %5")
                  .arg(done)
                  .arg(sessions)
                  .arg(t.elapsed() / 1000)
                  .arg(runner.generating / std::max(done, 1))
                  .arg(seed));
        QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("seed %1: ").arg(seed) +
                                             found.join(QStringLiteral("; "))));
    }

private:
    QTemporaryDir m_templates;
};

QTEST_MAIN(TestUserModel)
#include "tst_usermodel.moc"
