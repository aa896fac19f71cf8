// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// The end of the session the program did not choose: SIGTERM or SIGHUP (a shutdown, a
// closed terminal) and the session manager's request to save before logging out. The
// signal is turned into a call on the program's thread, where it may still write.
class Termination : public QObject {
    Q_OBJECT
public:
    explicit Termination(QObject* parent = nullptr);
    ~Termination() override;

Q_SIGNALS:
    // The session ends: write what must not be lost. `quitting` is true for a signal
    // (the program ends right after), false for the session manager's request (the
    // program may be asked to go on).
    void ending(bool quitting);

private:
    QSocketNotifier* m_notifier = nullptr;
};
