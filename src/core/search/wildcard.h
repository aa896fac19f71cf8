// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Wildcard patterns as the statistics and the search match them against a whole cell
// text: "*" any run of characters (none too), "?" any one character, "#" one digit
// 0-9, "[list]" one character of the list ("a-z" ranges allowed), "[!list]" one
// character not in it; every other character stands for itself, case and width
// significant. A pattern is compiled once and matched in time linear in the text.
class Wildcard {
public:
    // The pattern "*" + text + "*": whether a cell contains `text`, its wildcards
    // acting as wildcards.
    static Wildcard contains(const QString& text);
    static Wildcard compile(const QString& pattern);

    // False when the pattern cannot be matched as written (an unclosed "[", a range
    // whose ends are out of order); error() then says why, in Japanese.
    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    bool matches(QStringView text) const;

    // Where the pattern matches in `text`, in UTF-16 code units: from the first
    // character a part of the pattern between its stars takes to the last, each part
    // at its earliest place (the pattern's own leading and trailing stars take nothing;
    // a pattern without stars at its ends spans the whole text). Nothing when the text
    // does not match.
    struct Span {
        qsizetype start = 0;
        qsizetype length = 0;
    };
    std::optional<Span> find(QStringView text) const;

private:
    struct Element {
        enum Kind : quint8 { Char, Any, Digit, Set } kind = Char;
        bool negated = false;
        char32_t ch = 0;
        std::vector<std::pair<char32_t, char32_t>> ranges; // Set: inclusive ranges
        bool accepts(char32_t c) const;
    };
    using Segment = std::vector<Element>;

    // A run of plain characters that every matching text holds, and the place in it of
    // the code unit to look for first: the highest, as the rarest in Japanese text
    // (kanji before kana, kana before punctuation and ASCII).
    struct Literal {
        QString text;
        qsizetype keyAt = 0;
        bool foundIn(QStringView view) const;
    };

    bool matchAt(const std::u32string& text, size_t pos, const Segment& segment) const;
    // Matches the whole text, each segment at its earliest place; `span`, when given,
    // gets the code points from the first character a segment takes to the last.
    bool place(const std::u32string& text, std::pair<size_t, size_t>* span) const;

    std::vector<Segment> m_segments; // the pattern between its stars
    std::vector<Literal> m_literals; // every run of plain characters, longest first: a quick test
    bool m_anchoredStart = false;    // no star before the first segment
    bool m_anchoredEnd = false;      // no star after the last segment
    QString m_error;
};
