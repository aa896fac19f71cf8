#pragma once

// Helpers shared by the window tests: a fresh program state, a fixed clock and
// scripted dialogs for every case.

#include "platform/clock.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"
#include "store/appstate.h"

#include <memory>

struct TestEnvironment {
    explicit TestEnvironment(const QDateTime& now)
    {
        auto c = std::make_unique<FixedClock>(now);
        clock = c.get();
        Clock::install(std::move(c));
        auto m = std::make_unique<ScriptedMessageBox>();
        messages = m.get();
        MessageBox::install(std::move(m));
        auto f = std::make_unique<ScriptedFileDialog>();
        files = f.get();
        FileDialog::install(std::move(f));
        installApp(&app);
    }
    ~TestEnvironment()
    {
        installApp(nullptr);
        FileDialog::install(nullptr);
        MessageBox::install(nullptr);
        Clock::install(nullptr);
    }
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    AppState app;
    FixedClock* clock;
    ScriptedMessageBox* messages;
    ScriptedFileDialog* files;
};

inline QDateTime at(int y, int m, int d, int h = 9, int min = 30)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}
