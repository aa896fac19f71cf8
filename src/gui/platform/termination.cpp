// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/termination.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_fds[2] = {-1, -1};

extern "C" void onSignal(int) {
    // Only what is safe in a signal handler: one byte to the program's thread.
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_fds[0], &byte, 1);
}

} // namespace

Termination::Termination(QObject* parent) : QObject(parent) {
    if (g_fds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0)
        g_fds[0] = g_fds[1] = -1;
    if (g_fds[1] >= 0) {
        m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            [[maybe_unused]] const auto n = ::read(g_fds[1], &byte, 1);
            Q_EMIT ending(true);
            // exit(), not quit(): quit() asks the windows to close, and they ask the user.
            QCoreApplication::exit(0);
        });
        struct sigaction sa = {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGHUP, &sa, nullptr);
    }
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { Q_EMIT ending(false); });
    }
}

Termination::~Termination() {
    if (m_notifier) {
        struct sigaction sa = {};
        sa.sa_handler = SIG_DFL;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGHUP, &sa, nullptr);
    }
}
