// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Sessions from a seed, and the shrinking of a failing one: the steps are left out in
// halves, then in smaller parts down to single steps (delta debugging), as long as
// the program still differs from the model in the same way.

#include "session.h"

#include <QElapsedTimer>

#include <cstdio>

namespace UserModel {

inline quint64 splitmix(quint64& state) {
    quint64 z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

inline void print(const QString& s) {
    std::fputs(qPrintable(s + u'\n'), stdout);
    std::fflush(stdout);
}

class Runner {
public:
    explicit Runner(const QString& templates) : m_templates(templates) {}

    std::set<QString> tolerated;
    int replays = 0;

    RunResult replay(const Script& s) {
        ++replays;
        Session session(m_templates, s.firstYear, tolerated);
        size_t i = 0;
        return session.run([&](const Model&) -> std::optional<Action> {
            if (i < s.actions.size())
                return s.actions[i++];
            return std::nullopt;
        });
    }

    qint64 generating = 0; // ms spent in generated sessions

    RunResult generate(Script& s, quint64 seed, int length) {
        QElapsedTimer t;
        t.start();
        Session session(m_templates, s.firstYear, tolerated);
        Generator gen(seed);
        int i = 0;
        RunResult r = session.run([&](const Model& m) -> std::optional<Action> {
            if (i++ < length)
                return gen.next(m);
            return std::nullopt;
        });
        s.actions = r.run;
        generating += t.elapsed();
        return r;
    }

    // The shortest sequence found that still fails with `kind`, within `budget` runs.
    Script shrink(Script s, const QString& kind, int budget) {
        const int stop = replays + budget;
        auto fails = [&](const Script& candidate) {
            const RunResult r = replay(candidate);
            return r.status == RunResult::Failed && r.failure.kind == kind;
        };
        size_t parts = 2;
        while (s.actions.size() >= 2 && replays < stop) {
            const size_t chunk = (s.actions.size() + parts - 1) / parts;
            bool smaller = false;
            for (size_t start = 0; start < s.actions.size() && replays < stop; start += chunk) {
                Script candidate = s;
                candidate.actions.erase(candidate.actions.begin() + qsizetype(start),
                                        candidate.actions.begin() +
                                            qsizetype(std::min(start + chunk, s.actions.size())));
                if (fails(candidate)) {
                    s = candidate;
                    parts = std::max<size_t>(parts - 1, 2);
                    smaller = true;
                    break;
                }
            }
            if (!smaller) {
                if (parts >= s.actions.size())
                    break;
                parts = std::min(s.actions.size(), parts * 2);
            }
        }
        // Single steps once more, until none can go.
        for (bool again = true; again && replays < stop;) {
            again = false;
            for (size_t i = s.actions.size(); i-- > 0 && replays < stop;) {
                Script candidate = s;
                candidate.actions.erase(candidate.actions.begin() + qsizetype(i));
                if (fails(candidate)) {
                    s = candidate;
                    again = true;
                }
            }
        }
        return s;
    }

    // Reports a failing session: checks that it fails again when replayed, shrinks
    // it and prints the shortest sequence. Returns the report's first line.
    QString report(const Script& original, const RunResult& found, const QString& origin,
                   int budget) {
        print(QStringLiteral("\n=== %1: %2 [%3]")
                  .arg(origin, found.failure.text, found.failure.kind));
        Script s = original;
        if (found.failedAt >= 0)
            s.actions.resize(size_t(found.failedAt) + 1); // what came after played no part
        const RunResult again = replay(s);
        if (again.status != RunResult::Failed || again.failure.kind != found.failure.kind) {
            print(QStringLiteral("NOT REPRODUCED on replay (%1): the sequence was:")
                      .arg(again.failure.kind));
            for (const QString& l : found.lines)
                print(QStringLiteral("    ") + l);
            return QStringLiteral("[not reproduced] ") + found.failure.text;
        }
        QElapsedTimer t;
        t.start();
        const int before = replays;
        const Script shortest = shrink(s, found.failure.kind, budget);
        const RunResult last = replay(shortest);
        print(QStringLiteral(
                  "Shortest sequence (%1 of %2 steps, %3 runs, %4 s), starting with %5.dys:")
                  .arg(last.lines.size())
                  .arg(found.lines.size())
                  .arg(replays - before)
                  .arg(t.elapsed() / 1000)
                  .arg(s.firstYear));
        for (int i = 0; i < last.lines.size(); ++i)
            print(QStringLiteral("  %1. %2").arg(i + 1, 2).arg(last.lines[i]));
        print(QStringLiteral("  → [%1] %2").arg(last.failure.kind, last.failure.text));
        print(QStringLiteral("  again: DAYLOG_MODEL_REPLAY='%1'").arg(shortest.encode()));
        return QStringLiteral("[%1] %2").arg(last.failure.kind, last.failure.text);
    }

private:
    QString m_templates;
};

} // namespace UserModel
