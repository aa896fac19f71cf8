// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/wildcard.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A pattern written as its pieces, so that a plain recursive matcher can follow it
// without parsing: the reference the compiled matcher is checked against.
struct Piece {
    enum Kind { Literal, Star, Any, Digit, Set } kind = Literal;
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
    QString text; // as written in a pattern
};

bool accepts(const Piece& p, char32_t c) {
    switch (p.kind) {
    case Piece::Literal:
        return c == p.ch;
    case Piece::Any:
        return true;
    case Piece::Digit:
        return c >= U'0' && c <= U'9';
    case Piece::Set: {
        bool in = false;
        for (const auto& [lo, hi] : p.ranges)
            in = in || (c >= lo && c <= hi);
        return in != p.negated;
    }
    case Piece::Star:
        break;
    }
    return false;
}

bool referenceMatch(const std::vector<Piece>& pattern, size_t i, const std::u32string& text,
                    size_t j) {
    if (i == pattern.size())
        return j == text.size();
    const Piece& p = pattern[i];
    if (p.kind == Piece::Star) {
        for (size_t k = j; k <= text.size(); ++k)
            if (referenceMatch(pattern, i + 1, text, k))
                return true;
        return false;
    }
    // An empty list "[]" stands for nothing.
    if (p.kind == Piece::Set && !p.negated && p.ranges.empty())
        return referenceMatch(pattern, i + 1, text, j);
    return j < text.size() && accepts(p, text[j]) && referenceMatch(pattern, i + 1, text, j + 1);
}

QString fromCodePoints(const std::u32string& s) {
    return QString::fromUcs4(s.data(), qsizetype(s.size()));
}

// The text alphabet: two letters, a digit, a character outside the BMP and a newline.
const std::u32string Letters = U"ab0\U0002000B\n";

std::vector<Piece> pieceMenu() {
    auto literal = [](char32_t c) {
        Piece p;
        p.ch = c;
        p.text = fromCodePoints(std::u32string(1, c));
        return p;
    };
    auto set = [](const QString& text, bool negated,
                  std::vector<std::pair<char32_t, char32_t>> ranges) {
        Piece p;
        p.kind = Piece::Set;
        p.text = text;
        p.negated = negated;
        p.ranges = std::move(ranges);
        return p;
    };
    std::vector<Piece> menu;
    for (const char32_t c : Letters)
        menu.push_back(literal(c));
    menu.push_back({Piece::Star, 0, false, {}, u"*"_s});
    menu.push_back({Piece::Star, 0, false, {}, u"*"_s});
    menu.push_back({Piece::Any, 0, false, {}, u"?"_s});
    menu.push_back({Piece::Digit, 0, false, {}, u"#"_s});
    menu.push_back(set(u"[ab]"_s, false, {{U'a', U'a'}, {U'b', U'b'}}));
    menu.push_back(set(u"[!a]"_s, true, {{U'a', U'a'}}));
    menu.push_back(set(u"[0-a]"_s, false, {{U'0', U'a'}}));
    menu.push_back(set(u"[!\U0002000B]"_s, true, {{U'\U0002000B', U'\U0002000B'}}));
    menu.push_back(set(u"[b-\U0002000B]"_s, false, {{U'b', U'\U0002000B'}}));
    menu.push_back(set(u"[]"_s, false, {}));
    menu.push_back(set(u"[!]"_s, true, {}));
    return menu;
}

const QString Tuesday = u"火曜日は雨"_s;
const QString Lone(QChar(0xD840)); // the first half of a pair, alone

} // namespace

class TestWildcard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void containsMatches_data();
    void containsMatches();
    void compiledPatternsAreAnchored_data();
    void compiledPatternsAreAnchored();
    void refusedPatternsSayWhyAndMatchNothing_data();
    void refusedPatternsSayWhyAndMatchNothing();
    void manyStarsAgainstALongTextAnswerCorrectly();
    void agreesWithARecursiveMatcher();
};

void TestWildcard::containsMatches_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");

    // Plain characters: exact, case and width significant.
    QTest::newRow("plain inside") << u"曜日"_s << Tuesday << true;
    QTest::newRow("plain whole") << Tuesday << Tuesday << true;
    QTest::newRow("plain absent") << u"晴れ"_s << Tuesday << false;
    QTest::newRow("longer than text") << u"火曜日は雨です"_s << Tuesday << false;
    QTest::newRow("case") << u"abc"_s << u"xABCx"_s << false;
    QTest::newRow("full-width letter") << u"Ａ"_s << u"A"_s << false;
    QTest::newRow("half-width letter") << u"A"_s << u"Ａ"_s << false;
    QTest::newRow("full-width digit") << u"1"_s << u"１"_s << false;
    QTest::newRow("half-width katakana") << u"ｱ"_s << u"ア"_s << false;
    QTest::newRow("hiragana vs katakana") << u"あ"_s << u"ア"_s << false;
    QTest::newRow("empty keyword") << QString() << Tuesday << true;
    QTest::newRow("empty keyword, empty text") << QString() << QString() << true;
    QTest::newRow("keyword, empty text") << u"雨"_s << QString() << false;

    // "*": any run, none too, across lines.
    QTest::newRow("star") << u"火*雨"_s << Tuesday << true;
    QTest::newRow("star, empty run") << u"日*は"_s << Tuesday << true;
    QTest::newRow("star, wrong order") << u"雨*火"_s << Tuesday << false;
    QTest::newRow("star across lines") << u"朝*夜"_s << u"朝は雨\n昼は曇り\n夜は晴れ"_s << true;
    QTest::newRow("star, the same letter twice") << u"a*a"_s << u"xay"_s << false;

    // "?": one whole character.
    QTest::newRow("question") << u"火?日"_s << Tuesday << true;
    QTest::newRow("question, none there") << u"曜?日"_s << Tuesday << false;
    QTest::newRow("question, two there") << u"火?は"_s << Tuesday << false;
    QTest::newRow("question, newline") << u"朝?昼"_s << u"朝\n昼"_s << true;
    QTest::newRow("question, CR LF is two") << u"朝?昼"_s << u"朝\r\n昼"_s << false;
    QTest::newRow("question, CR LF") << u"朝??昼"_s << u"朝\r\n昼"_s << true;
    QTest::newRow("question, outside the BMP") << u"鯖の?"_s << u"鯖の𩸽と"_s << true;
    QTest::newRow("question, one outside the BMP")
        << u"の?と"_s << u"鯖の𩸽と"_s << true; // not two halves
    QTest::newRow("half of a pair alone in the text")
        << Lone + u'a' << u'x' + Lone + u"ay"_s << true;
    QTest::newRow("half of a pair alone, question") << u"x?a"_s << u'x' + Lone + u"ay"_s << true;
    QTest::newRow("half of a pair against a whole pair") << Lone << u"x𠀋"_s << false;
    QTest::newRow("two questions, one outside the BMP") << u"の??と"_s << u"鯖の𩸽と"_s << false;

    // "#": one ASCII digit.
    QTest::newRow("digit") << u"歩数#"_s << u"歩数8,214"_s << true;
    QTest::newRow("digits") << u"##:##"_s << u"歯医者 14:30"_s << true;
    QTest::newRow("digit, letter") << u"a#"_s << u"ax"_s << false;
    QTest::newRow("digit, full-width") << u"a#"_s << u"a５"_s << false;
    QTest::newRow("digit, Arabic-Indic") << u"a#"_s << u"a٣"_s << false;
    QTest::newRow("digit, kanji numeral") << u"#時"_s << u"十時"_s << false;

    // "[list]" and "[!list]".
    QTest::newRow("list") << u"[月火水]曜"_s << Tuesday << true;
    QTest::newRow("list, not in") << u"[月水]曜"_s << Tuesday << false;
    QTest::newRow("list, range") << u"x[a-c]y"_s << u"xby"_s << true;
    QTest::newRow("list, range ends") << u"x[a-c]y"_s << u"xcy"_s << true;
    QTest::newRow("list, outside range") << u"x[a-c]y"_s << u"xdy"_s << false;
    QTest::newRow("list, range and single") << u"x[0-9z]y"_s << u"xzy"_s << true;
    QTest::newRow("list, one character only") << u"x[ab]y"_s << u"xaby"_s << false;
    QTest::newRow("list, case") << u"[a-z]"_s << u"ABC"_s << false;
    QTest::newRow("list, wildcards are plain inside") << u"[*?#]"_s << u"a?b"_s << true;
    QTest::newRow("list, star plain inside") << u"x[*]y"_s << u"xzy"_s << false;
    QTest::newRow("list, opening bracket") << u"[[]"_s << u"a[b"_s << true;
    QTest::newRow("list, dash at the end") << u"x[a-]y"_s << u"x-y"_s << true;
    QTest::newRow("list, dash at the start") << u"x[-a]y"_s << u"x-y"_s << true;
    QTest::newRow("list, outside the BMP") << u"鯖の[𩸽𠀋]"_s << u"鯖の𩸽"_s << true;
    QTest::newRow("list, range outside the BMP") << u"[𠀀-𠀏]"_s << u"x𠀋x"_s << true;
    QTest::newRow("list, BMP to outside") << u"[あ-𠀏]"_s << u"x𠀋x"_s << true;
    QTest::newRow("list, half of a pair") << u'[' + Lone + u']' << u"x𠀋x"_s << false;
    QTest::newRow("not in list") << u"[!月水]曜"_s << Tuesday << true;
    QTest::newRow("not in list, is in") << u"[!火]曜"_s << Tuesday << false;
    QTest::newRow("not in list, range") << u"x[!a-c]y"_s << u"xby"_s << false;
    QTest::newRow("not in list, outside the BMP") << u"の[!𩸽]と"_s << u"鯖の𩸽と"_s << false;
    QTest::newRow("not in list, one character outside the BMP")
        << u"の[!a]と"_s << u"鯖の𩸽と"_s << true;
    QTest::newRow("not in list, still one character") << u"x[!a]y"_s << u"xy"_s << false;
    QTest::newRow("exclamation mark plain outside a list") << u"!"_s << u"えっ!"_s << true;
    QTest::newRow("closing bracket plain") << u"a]"_s << u"xa]"_s << true;
    QTest::newRow("empty list stands for nothing") << u"火[]曜"_s << Tuesday << true;
    QTest::newRow("empty negated list is any one character") << u"火[!]日"_s << Tuesday << true;
    QTest::newRow("empty negated list, none there") << u"曜[!]日"_s << Tuesday << false;
    QTest::newRow("empty negated list, outside the BMP") << u"の[!]と"_s << u"鯖の𩸽と"_s << true;
}

void TestWildcard::containsMatches() {
    QFETCH(QString, keyword);
    QFETCH(QString, text);
    QFETCH(bool, found);
    const Wildcard w = Wildcard::contains(keyword);
    QVERIFY(w.isValid());
    QCOMPARE(w.matches(text), found);
}

void TestWildcard::compiledPatternsAreAnchored_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");

    QTest::newRow("no star, same") << u"雨"_s << u"雨"_s << true;
    QTest::newRow("no star, longer text") << u"雨"_s << u"雨だ"_s << false;
    QTest::newRow("no star, text before") << u"雨"_s << u"大雨"_s << false;
    QTest::newRow("no star, wildcards") << u"?#[a-c]"_s << u"x5b"_s << true;
    QTest::newRow("no star, one short") << u"?#[a-c]"_s << u"x5"_s << false;
    QTest::newRow("empty pattern, empty text") << QString() << QString() << true;
    QTest::newRow("empty pattern, text") << QString() << u"a"_s << false;
    QTest::newRow("star alone, empty text") << u"*"_s << QString() << true;
    QTest::newRow("stars alone") << u"***"_s << u"何でも"_s << true;
    QTest::newRow("star at the end") << u"朝*"_s << u"朝から雨"_s << true;
    QTest::newRow("star at the end, text before") << u"朝*"_s << u"今朝"_s << false;
    QTest::newRow("star at the start") << u"*雨"_s << u"朝から雨"_s << true;
    QTest::newRow("star at the start, text after") << u"*雨"_s << u"雨だ"_s << false;
    QTest::newRow("star at the start, the end twice") << u"*ab"_s << u"abab"_s << true;
    QTest::newRow("star between") << u"a*c"_s << u"abbc"_s << true;
    QTest::newRow("star between, nothing between") << u"a*c"_s << u"ac"_s << true;
    QTest::newRow("star between, ends overlap") << u"ab*ba"_s << u"aba"_s << false;
    QTest::newRow("star between, one letter") << u"a*a"_s << u"a"_s << false;
    QTest::newRow("star between, two letters") << u"a*a"_s << u"aa"_s << true;
    QTest::newRow("star between, wrong end") << u"a*c"_s << u"abcd"_s << false;
    QTest::newRow("stars, middle overlaps the end") << u"a*bc*cd"_s << u"abcd"_s << false;
    QTest::newRow("stars, middle before the end") << u"a*bc*cd"_s << u"abccd"_s << true;
    QTest::newRow("star then empty list") << u"a*[]"_s << u"ab"_s << true;
    QTest::newRow("empty list then star") << u"[]*b"_s << u"ab"_s << true;
    QTest::newRow("empty list alone") << u"[]"_s << QString() << true;
    QTest::newRow("question, a pair is one") << u"?"_s << u"𠀋"_s << true;
    QTest::newRow("question, a pair is not two") << u"??"_s << u"𠀋"_s << false;
    QTest::newRow("negated, a pair is one") << u"[!a]"_s << u"𩸽"_s << true;
    QTest::newRow("star at the end, newline") << u"a*"_s << u"a\n"_s << true;
    QTest::newRow("no star, trailing newline") << u"a"_s << u"a\n"_s << false;
}

void TestWildcard::compiledPatternsAreAnchored() {
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    const Wildcard w = Wildcard::compile(pattern);
    QVERIFY(w.isValid());
    QCOMPARE(w.matches(text), matches);
}

void TestWildcard::refusedPatternsSayWhyAndMatchNothing_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text"); // would match if the pattern were taken loosely

    QTest::newRow("unclosed") << u"*[abc*"_s << u"[abc"_s;
    QTest::newRow("bracket alone") << u"*[*"_s << u"["_s;
    QTest::newRow("bracket at the end") << u"雨["_s << u"雨["_s;
    QTest::newRow("unclosed after a good list") << u"[a]["_s << u"a["_s;
    QTest::newRow("range backwards") << u"*[z-a]*"_s << u"m"_s;
    QTest::newRow("range backwards, negated") << u"*[!9-0]*"_s << u"a"_s;
    QTest::newRow("range backwards after a good one") << u"[a-cz-x]"_s << u"b"_s;
    QTest::newRow("range backwards, kana") << u"*[ん-あ]*"_s << u"か"_s;
    QTest::newRow("range backwards, outside the BMP") << u"*[𠀏-𠀀]*"_s << u"𠀋"_s;
}

void TestWildcard::refusedPatternsSayWhyAndMatchNothing() {
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    const Wildcard w = Wildcard::compile(pattern);
    QVERIFY(!w.isValid());
    QVERIFY(!w.error().isEmpty());
    QVERIFY(!w.matches(text));
    QVERIFY(!w.matches(pattern));
    QVERIFY(!w.matches(QString()));
    // A keyword typed with the same fault is refused the same way.
    const Wildcard keyword = Wildcard::contains(pattern);
    QVERIFY(!keyword.isValid());
    QCOMPARE(keyword.error(), w.error());
}

void TestWildcard::manyStarsAgainstALongTextAnswerCorrectly() {
    const QString as(10000, u'a');
    const Wildcard keyword = Wildcard::contains(u"a*a*a*a*a*a*a*b"_s);
    const Wildcard anchored = Wildcard::compile(u"*a*a*a*a*a*a*a*b"_s);
    QVERIFY(!keyword.matches(as));
    QVERIFY(!anchored.matches(as));
    QVERIFY(keyword.matches(as + u'b'));
    QVERIFY(anchored.matches(as + u'b'));
    QVERIFY(keyword.matches(as + u'b' + as));
    QVERIFY(!anchored.matches(as + u'b' + as));
    // The b must come after seven a's.
    QVERIFY(!keyword.matches(u"aaaaaab"_s + as));
    QVERIFY(keyword.matches(u"aaaaaaab"_s));
    // Lists and single characters between the stars.
    QVERIFY(!Wildcard::contains(u"?a*[a-b]a*#"_s).matches(as));
    QVERIFY(Wildcard::contains(u"?a*[a-b]a*#"_s).matches(as + u'7'));
}

// Short random patterns and texts over a tiny alphabet, every one compared with the
// recursive matcher: a matcher that keeps no back-tracking state must still find
// every way a text can match.
void TestWildcard::agreesWithARecursiveMatcher() {
    const std::vector<Piece> menu = pieceMenu();
    QRandomGenerator rng(20050401);
    int matched = 0;
    for (int n = 0; n < 4000; ++n) {
        std::vector<Piece> pattern;
        QString written;
        const int pieces = rng.bounded(7);
        for (int i = 0; i < pieces; ++i) {
            pattern.push_back(menu[size_t(rng.bounded(int(menu.size())))]);
            written += pattern.back().text;
        }
        std::u32string text;
        const int length = rng.bounded(9);
        // Mostly a's and b's, so that patterns find something to match.
        for (int i = 0; i < length; ++i)
            text.push_back(rng.bounded(3) ? Letters[size_t(rng.bounded(2))]
                                          : Letters[size_t(rng.bounded(int(Letters.size())))]);
        const Wildcard w = Wildcard::compile(written);
        QVERIFY2(w.isValid(), qPrintable(written));
        const bool expected = referenceMatch(pattern, 0, text, 0);
        matched += expected;
        QVERIFY2(w.matches(fromCodePoints(text)) == expected,
                 qPrintable(u"pattern \"%1\", text \"%2\": expected %3"_s.arg(
                     written, fromCodePoints(text), expected ? u"a match"_s : u"none"_s)));
        // Where the same pattern as a search text is found: somewhere when the text
        // holds it, and what lies there matches it whole.
        std::vector<Piece> around = pattern;
        around.insert(around.begin(), menu[size_t(Letters.size())]); // a star
        around.push_back(menu[size_t(Letters.size())]);
        const bool holds = referenceMatch(around, 0, text, 0);
        const QString shown = fromCodePoints(text);
        const auto span = Wildcard::contains(written).find(shown);
        QVERIFY2(span.has_value() == holds, qPrintable(written + u" in "_s + shown));
        if (span) {
            QVERIFY(span->start >= 0 && span->length >= 0 &&
                    span->start + span->length <= shown.size());
            const QString found = shown.mid(span->start, span->length);
            std::u32string foundPoints;
            for (const char32_t c : found.toUcs4())
                foundPoints.push_back(c);
            QVERIFY2(referenceMatch(pattern, 0, foundPoints, 0),
                     qPrintable(written + u" found as "_s + found + u" in "_s + shown));
        }
    }
    // Both answers well represented.
    QVERIFY2(matched > 300 && matched < 3700, qPrintable(QString::number(matched)));
}

QTEST_GUILESS_MAIN(TestWildcard)
#include "tst_wildcard.moc"
