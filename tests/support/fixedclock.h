// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/time/clock.h"

#include <QDateTime>

// A clock that stands still until told otherwise (tests).
class FixedClock : public Clock {
public:
    explicit FixedClock(const QDateTime& at) : m_at(at) {}
    QDateTime now() const override { return m_at; }
    void set(const QDateTime& at) { m_at = at; }

private:
    QDateTime m_at;
};
