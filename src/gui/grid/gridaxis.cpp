// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/gridaxis.h"

#include <algorithm>
#include <cstdlib>

int GridAxis::size(int line) const {
    return line >= 0 && line < count() ? m_sizes[size_t(line)] : 0;
}

int GridAxis::fixed() const {
    return std::clamp(m_fixed, 0, count());
}

int GridAxis::fixedSize() const {
    int px = 0;
    for (int i = 0; i < fixed(); ++i)
        px += m_sizes[size_t(i)];
    return px;
}

int GridAxis::totalSize() const {
    int px = 0;
    for (int size : m_sizes)
        px += size;
    return px;
}

int GridAxis::position(int line) const {
    int pos = 0;
    if (line < fixed()) {
        for (int i = 0; i < line; ++i)
            pos += size(i);
        return pos;
    }
    if (line < m_first)
        return -1;
    pos = fixedSize();
    for (int i = m_first; i < line; ++i)
        pos += size(i);
    return pos;
}

std::vector<GridAxis::Line> GridAxis::shown(int extent) const {
    std::vector<Line> lines;
    int pos = 0;
    auto add = [&](int i) {
        if (m_sizes[size_t(i)] > 0)
            lines.push_back({i, pos, m_sizes[size_t(i)]});
        pos += m_sizes[size_t(i)];
    };
    for (int i = 0; i < fixed(); ++i)
        add(i);
    for (int i = std::max(m_first, 0); i < count() && pos < extent; ++i)
        add(i);
    return lines;
}

void GridAxis::scan(int from, int to, int start, int pos, int limit, bool grip, Hit& hit) const {
    int at = start;
    for (int i = std::max(from, 0); i < to; ++i) {
        const int size = m_sizes[size_t(i)];
        if (size == 0)
            continue;
        if (grip && std::abs(pos - (at + size)) <= Grip)
            hit.border = i;
        if (pos >= at && pos < at + size)
            hit.line = i;
        at += size;
        if (at > limit + Grip)
            break;
    }
}

GridAxis::Hit GridAxis::hitTest(int pos, int extent, bool grip) const {
    Hit hit;
    const int fixedPx = fixedSize();
    scan(0, fixed(), 0, pos, extent, grip, hit);
    if (pos >= fixedPx || hit.line < 0)
        scan(m_first, count(), fixedPx, pos, extent, grip, hit);
    return hit;
}

int GridAxis::maxFirst(int extent) const {
    const int avail = extent - fixedSize();
    int used = 0;
    int first = count();
    while (first > fixed() && used + size(first - 1) <= avail) {
        used += size(first - 1);
        --first;
    }
    return std::max(fixed(), std::min(first, count() - 1));
}

int GridAxis::fitting(int extent) const {
    const int avail = extent - fixedSize();
    int used = 0, n = 0;
    for (int i = std::max(m_first, 0); i < count(); ++i) {
        used += m_sizes[size_t(i)];
        if (used > avail)
            break;
        ++n;
    }
    return n;
}

void GridAxis::scrollTo(int line, int extent) {
    m_first = std::clamp(line, fixed(), std::max(fixed(), maxFirst(extent)));
}

void GridAxis::bringIntoView(int line, int extent) {
    if (line < fixed() || line >= count())
        return;
    if (line < m_first) {
        m_first = line;
        return;
    }
    const int avail = extent - fixedSize();
    int used = 0;
    for (int i = m_first; i <= line; ++i)
        used += m_sizes[size_t(i)];
    while (m_first < line && used > avail)
        used -= m_sizes[size_t(m_first++)];
}

int GridAxis::step(int line, int steps) const {
    const int dir = steps > 0 ? 1 : -1;
    const int lo = fixed(), hi = count() - 1;
    for (int n = std::abs(steps); n > 0; --n) {
        int next = line + dir;
        while (next >= lo && next <= hi && m_sizes[size_t(next)] == 0)
            next += dir;
        if (next < lo || next > hi)
            break;
        line = next;
    }
    return line;
}
