// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The handle of one asynchronous operation of CalDavClient. Its result comes once,
// from the event loop: `then` hands it to a function, `wait` runs a local event loop
// until it is there (for the command-line tool), `cancel` stops the operation, which
// then finishes with a network failure. Copies share one operation.

#include "net/caldavtypes.h"

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

template <class R> class DavCall {
public:
    DavCall() : d(std::make_shared<State>()) {}

    bool isFinished() const { return d->result.has_value(); }
    // Valid once finished.
    const R& result() const { return *d->result; }

    // Calls `done` with the result when it comes, or at once when it is already there;
    // never when `context` is gone by then.
    void then(QObject* context, std::function<void(const R&)> done) const {
        if (d->result) {
            done(*d->result);
            return;
        }
        d->waiting.emplace_back(QPointer<QObject>(context), std::move(done));
    }

    // Runs a local event loop until the result is there, at most `limit`: past it the
    // operation is cancelled and its result says the server did not answer.
    R wait(std::chrono::milliseconds limit = std::chrono::minutes(5)) const {
        if (!d->result) {
            QEventLoop loop;
            QTimer deadline;
            deadline.setSingleShot(true);
            bool late = false;
            QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
                late = true;
                loop.quit();
            });
            then(&loop, [&loop](const R&) { loop.quit(); });
            deadline.start(limit);
            if (!d->result)
                loop.exec();
            if (late && !d->result) {
                auto stop = d->cancel;
                R r;
                r.error = CalDavError::timeout(
                    int(std::chrono::duration_cast<std::chrono::seconds>(limit).count()));
                finish(std::move(r));
                if (stop)
                    stop();
            }
        }
        return *d->result;
    }

    void cancel() const {
        if (!d->result && d->cancel)
            d->cancel();
    }

    // For the client: the result, given once (later ones are dropped), and how to stop.
    void finish(R r) const {
        if (d->result)
            return;
        d->result = std::move(r);
        d->cancel = nullptr;
        auto waiting = std::exchange(d->waiting, {});
        for (auto& [context, done] : waiting)
            if (context)
                done(*d->result);
    }
    void setCancel(std::function<void()> cancel) const { d->cancel = std::move(cancel); }

private:
    struct State {
        std::optional<R> result;
        std::vector<std::pair<QPointer<QObject>, std::function<void(const R&)>>> waiting;
        std::function<void()> cancel;
    };
    std::shared_ptr<State> d;
};
