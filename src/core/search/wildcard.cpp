// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/wildcard.h"

#include <algorithm>

namespace {

void codePoints(QStringView text, std::u32string& out) {
    out.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.push_back(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            out.push_back(c.unicode());
        }
    }
}

QString show(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

} // namespace

bool Wildcard::Element::accepts(char32_t c) const {
    switch (kind) {
    case Char:
        return c == ch;
    case Any:
        return true;
    case Digit:
        return c >= U'0' && c <= U'9';
    case Set: {
        bool in = false;
        for (const auto& [lo, hi] : ranges)
            if (c >= lo && c <= hi) {
                in = true;
                break;
            }
        return in != negated;
    }
    }
    return false;
}

// Looks for the rarest code unit with the vectorised character search and compares the
// whole run only where it occurs: far quicker on Japanese text than a substring search.
bool Wildcard::Literal::foundIn(QStringView view) const {
    const qsizetype n = text.size();
    const qsizetype lastStart = view.size() - n;
    const QChar key = text[keyAt];
    for (qsizetype from = keyAt; lastStart >= 0;) {
        const qsizetype hit = view.indexOf(key, from);
        if (hit < 0 || hit - keyAt > lastStart)
            return false;
        if (view.sliced(hit - keyAt, n) == QStringView(text))
            return true;
        from = hit + 1;
    }
    return false;
}

Wildcard Wildcard::contains(const QString& text) {
    return compile(u'*' + text + u'*');
}

Wildcard Wildcard::compile(const QString& pattern) {
    Wildcard w;
    std::u32string p;
    codePoints(pattern, p);
    Segment current;
    bool sawStar = false;
    w.m_anchoredStart = p.empty() || p.front() != U'*';
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (c == U'*') {
            if (!current.empty() || w.m_segments.empty())
                w.m_segments.push_back(std::move(current));
            current.clear();
            sawStar = true;
            continue;
        }
        Element e;
        if (c == U'?') {
            e.kind = Element::Any;
        } else if (c == U'#') {
            e.kind = Element::Digit;
        } else if (c == U'[') {
            const size_t close = p.find(U']', i + 1);
            if (close == std::u32string::npos) {
                w.m_error = QStringLiteral("「[」が「]」で閉じられていません");
                return w;
            }
            e.kind = Element::Set;
            size_t j = i + 1;
            if (j < close && p[j] == U'!') {
                e.negated = true;
                ++j;
            }
            for (; j < close; ++j) {
                if (j + 2 < close && p[j + 1] == U'-') {
                    if (p[j] > p[j + 2]) {
                        w.m_error = QStringLiteral("範囲「%1-%2」の順序が逆です")
                                        .arg(show(p[j]), show(p[j + 2]));
                        return w;
                    }
                    e.ranges.emplace_back(p[j], p[j + 2]);
                    j += 2;
                } else {
                    e.ranges.emplace_back(p[j], p[j]);
                }
            }
            i = close;
            // "[]" matches no character at all: it stands for nothing.
            if (e.ranges.empty() && !e.negated)
                continue;
        } else {
            e.ch = c;
        }
        current.push_back(std::move(e));
    }
    w.m_anchoredEnd = !sawStar || (!p.empty() && p.back() != U'*');
    if (!current.empty() || w.m_segments.empty() || w.m_anchoredEnd)
        w.m_segments.push_back(std::move(current));
    // Every text that matches holds each run of plain characters.
    std::vector<QString> runs;
    for (const Segment& seg : w.m_segments) {
        QString run;
        auto keep = [&] {
            if (!run.isEmpty())
                runs.push_back(run);
            run.clear();
        };
        for (const Element& e : seg) {
            if (e.kind != Element::Char) {
                keep();
            } else if (QChar::requiresSurrogates(e.ch)) {
                run += QChar(QChar::highSurrogate(e.ch));
                run += QChar(QChar::lowSurrogate(e.ch));
            } else {
                run += QChar(char16_t(e.ch)); // a lone surrogate too, as it is in the text
            }
        }
        keep();
    }
    std::stable_sort(runs.begin(), runs.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& run : runs) {
        if (std::any_of(w.m_literals.begin(), w.m_literals.end(),
                        [&](const Literal& l) { return l.text.contains(run); }))
            continue; // tested with a longer one
        Literal l{run, 0};
        for (qsizetype i = 1; i < run.size(); ++i)
            if (run[i].unicode() > run[l.keyAt].unicode())
                l.keyAt = i;
        w.m_literals.push_back(std::move(l));
    }
    // A leading star leaves an empty first segment: drop it.
    if (!w.m_anchoredStart && !w.m_segments.empty() && w.m_segments.front().empty() &&
        w.m_segments.size() > 1)
        w.m_segments.erase(w.m_segments.begin());
    return w;
}

bool Wildcard::matchAt(const std::u32string& text, size_t pos, const Segment& segment) const {
    if (pos + segment.size() > text.size())
        return false;
    for (size_t k = 0; k < segment.size(); ++k)
        if (!segment[k].accepts(text[pos + k]))
            return false;
    return true;
}

bool Wildcard::matches(QStringView view) const {
    if (!isValid())
        return false;
    for (const Literal& l : m_literals)
        if (!l.foundIn(view))
            return false;
    // One buffer a thread for the code points: no allocation for each text.
    thread_local std::u32string text;
    codePoints(view, text);
    return place(text, nullptr);
}

bool Wildcard::place(const std::u32string& text, std::pair<size_t, size_t>* span) const {
    // The span runs from the first segment that takes a character to the end of the
    // last one; anchored ends reach the ends of the text.
    size_t first = std::u32string::npos, end = 0;
    auto took = [&](size_t at, size_t length) {
        if (length == 0)
            return;
        if (first == std::u32string::npos)
            first = at;
        end = at + length;
    };
    auto done = [&] {
        if (span) {
            if (m_anchoredStart)
                first = 0;
            if (m_anchoredEnd)
                end = text.size();
            if (first == std::u32string::npos)
                first = end = 0;
            *span = {first, end};
        }
        return true;
    };
    const size_t n = m_segments.size();
    if (n == 1 && m_anchoredStart && m_anchoredEnd) { // no star at all: the whole text
        if (m_segments[0].size() != text.size() || !matchAt(text, 0, m_segments[0]))
            return false;
        return done();
    }
    // Each segment at its earliest place after the one before: no going back, so the
    // work is bounded by the text's length times the longest segment.
    size_t pos = 0;
    for (size_t i = 0; i < n; ++i) {
        const Segment& seg = m_segments[i];
        const bool last = i + 1 == n;
        if (i == 0 && m_anchoredStart) {
            if (!matchAt(text, 0, seg))
                return false;
            took(0, seg.size());
            pos = seg.size();
            continue;
        }
        if (last && m_anchoredEnd) {
            if (text.size() < seg.size() || text.size() - seg.size() < pos)
                return false;
            if (!matchAt(text, text.size() - seg.size(), seg))
                return false;
            took(text.size() - seg.size(), seg.size());
            return done();
        }
        if (seg.empty())
            continue;
        bool found = false;
        for (size_t p = pos; p + seg.size() <= text.size(); ++p) {
            if (matchAt(text, p, seg)) {
                took(p, seg.size());
                pos = p + seg.size();
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return done();
}

std::optional<Wildcard::Span> Wildcard::find(QStringView view) const {
    if (!matches(view))
        return std::nullopt;
    std::u32string text;
    codePoints(view, text);
    std::pair<size_t, size_t> span;
    place(text, &span);
    // Code points back to UTF-16 code units.
    qsizetype unit = 0, start = 0, end = 0;
    for (size_t k = 0; k <= text.size(); ++k) {
        if (k == span.first)
            start = unit;
        if (k == span.second) {
            end = unit;
            break;
        }
        if (k < text.size())
            unit += QChar::requiresSurrogates(text[k]) ? 2 : 1;
    }
    return Span{start, end - start};
}
