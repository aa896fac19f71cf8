// SPDX-License-Identifier: GPL-3.0-or-later
// The search and the two statistics tables over a full year (every text cell filled):
// a search that finds few days, one that lists many texts with their context, record
// statistics with 50 × 10 keywords, item statistics with 50 keywords, and the
// many-star pattern against every record.

#include "benchdocument.h"

#include "core/grid/gridmodel.h"
#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/stats/stats.h"
#include "core/store/appstate.h"

#include <benchmark/benchmark.h>

namespace {

using namespace Qt::StringLiterals;

// The full document with one word of its own, written into the slot contents of three
// days: what a search for something rare finds.
AppState& year() {
    static AppState* app = [] {
        auto* a = new AppState;
        BenchDocument::fill(*a);
        for (const int row : {45, 190, 301}) {
            const int col = StoreCol::SlotText1 + row % 7;
            a->store().set(row, col, a->store().text(row, col) + u"ひな人形を飾る。"_s);
        }
        return a;
    }();
    return *app;
}

constexpr int First = 1, Last = YearStore::DayRows;

void BM_SearchYearFewDays(benchmark::State& state) {
    const Wildcard pattern = Wildcard::contains(u"ひな人形"_s);
    QStringList days;
    for (auto _ : state) {
        days = Search_Days(year(), First, Last, pattern);
        benchmark::DoNotOptimize(days);
    }
    state.counters["days"] = double(days.size());
}
BENCHMARK(BM_SearchYearFewDays)->Unit(benchmark::kMillisecond);

// What the search window lists for a word found in many texts: each text with the
// text around the match.
void BM_SearchYearHitsWithContext(benchmark::State& state) {
    const Wildcard pattern = Wildcard::contains(u"の"_s);
    std::vector<SearchHit> hits;
    for (auto _ : state) {
        hits = Search_Hits(year(), First, Last, pattern);
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = double(hits.size());
}
BENCHMARK(BM_SearchYearHitsWithContext)->Unit(benchmark::kMillisecond);

// A search that finds nothing reads every text of every day.
void BM_SearchYearNothing(benchmark::State& state) {
    const Wildcard pattern = Wildcard::contains(u"紅葉*見物"_s);
    QStringList days;
    for (auto _ : state) {
        days = Search_Days(year(), First, Last, pattern);
        benchmark::DoNotOptimize(days);
    }
    state.counters["days"] = double(days.size());
}
BENCHMARK(BM_SearchYearNothing)->Unit(benchmark::kMillisecond);

// Short words people look for in their records, some of them there.
const char16_t* const FirstKeywords[50] = {
    u"雨",   u"晴",   u"駅",       u"バス",   u"電車", u"会議",   u"報告書", u"課長",   u"昼",
    u"食堂", u"定食", u"スーパー", u"卵",     u"牛乳", u"子ども", u"宿題",   u"風呂",   u"友人",
    u"電話", u"約束", u"体重",     u"歩数",   u"庭",   u"トマト", u"夜",     u"ドラマ", u"資料",
    u"明日", u"気温", u"半袖",     u"手帳",   u"予定", u"遅れ",   u"朝礼",   u"母",     u"薬",
    u"旅行", u"天気", u"地図",     u"小説",   u"結末", u"映画",   u"散歩",   u"掃除",   u"洗濯",
    u"料理", u"買",   u"##",       u"[春夏]", u"?日",
};
const char16_t* const SecondKeywords[10] = {
    u"が", u"の", u"を", u"に", u"で", u"は", u"と", u"まで", u"へ", u"*た",
};

void BM_RecordStatsYear(benchmark::State& state) {
    GridModel grid;
    Kiroku_GridInit(grid);
    for (int k = 0; k < Stats::KeywordRows; ++k)
        grid.setTextMatrix(k + 1, 1, QString::fromUtf16(FirstKeywords[k]));
    for (int c = 0; c < Stats::Key2Columns; ++c)
        grid.setTextMatrix(0, c + 2, QString::fromUtf16(SecondKeywords[c]));
    for (auto _ : state)
        Kiroku_count(grid, year(), First, Last);
    int counted = 0, cells = 0;
    for (int k = 1; k <= Stats::KeywordRows; ++k)
        for (int c = 2; c < 2 + Stats::Key2Columns; ++c)
            if (const int n = grid.textMatrix(k, c).toInt(); n > 0) {
                counted += n;
                ++cells;
            }
    state.counters["counted"] = counted;
    state.counters["cells"] = cells;
}
BENCHMARK(BM_RecordStatsYear)->Unit(benchmark::kMillisecond);

// Words of slot titles, some there, some not, a few with wildcards.
const char16_t* const ItemKeywords[50] = {
    u"打ち合わせ", u"通院",     u"買い物", u"英会話",     u"定例会議", u"昼休み", u"移動",
    u"新幹線",     u"資料作成", u"来客",   u"ジョギング", u"送迎",     u"銀行",   u"郵便局",
    u"夕食",       u"ピアノ",   u"取引先", u"A社",        u"読書",     u"駅前",   u"会議",
    u"教室",       u"練習",     u"準備",   u"訪問",       u"対応",     u"作成",   u"子ども",
    u"歯医者",     u"美容院",   u"ヨガ",   u"水泳",       u"テニス",   u"ゴルフ", u"映画",
    u"飲み会",     u"出張",     u"研修",   u"面談",       u"休暇",     u"?社",    u"*会議*",
    u"[読書]",     u"#",        u"（*）",  u"打ち*せ",    u"移動（?",  u"／",     u"の",
    u"教",
};

void BM_ItemStatsYear(benchmark::State& state) {
    GridModel grid;
    Koumoku_GridInit(grid);
    for (int k = 0; k < Stats::KeywordRows; ++k) {
        grid.setTextMatrix(k + 1, 1, QString::fromUtf16(ItemKeywords[k]));
        grid.setTextMatrix(k + 1, 2, QString::number(100 + 10 * k));
    }
    for (auto _ : state)
        Koumoku_count(grid, year(), First, Last);
    int counted = 0;
    for (int k = 1; k <= Stats::KeywordRows; ++k)
        counted += grid.textMatrix(k, 3).toInt();
    state.counters["counted"] = counted;
}
BENCHMARK(BM_ItemStatsYear)->Unit(benchmark::kMillisecond);

// "*a*a*a*a*a*a*a*b*" against every record of the year, as the document has them.
void BM_ManyStarsRecords(benchmark::State& state) {
    const Wildcard pattern = Wildcard::contains(u"a*a*a*a*a*a*a*b"_s);
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (int d = First; d <= Last; ++d)
            found += pattern.matches(year().store().text(d, StoreCol::Record));
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_ManyStarsRecords)->Unit(benchmark::kMillisecond);

// The patterns against texts of "a" only: the plain "b" turns them away at once;
// "[b]" is no plain character, so the matcher has to walk every text.
const QString ManyStars[] = {u"a*a*a*a*a*a*a*b"_s, u"a*a*a*a*a*a*a*[b]"_s};

// Records of the year's lengths made of "a" only.
void BM_ManyStarsRecordsOfAs(benchmark::State& state) {
    static const std::vector<QString> records = [] {
        std::vector<QString> r;
        for (int d = First; d <= Last; ++d)
            r.emplace_back(year().store().text(d, StoreCol::Record).size(), u'a');
        return r;
    }();
    const Wildcard pattern = Wildcard::contains(ManyStars[state.range(0)]);
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const QString& record : records)
            found += pattern.matches(record);
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_ManyStarsRecordsOfAs)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"list"})
    ->Unit(benchmark::kMillisecond);

// One text of 10,000 "a"s.
void BM_ManyStarsLongText(benchmark::State& state) {
    const QString as(10000, u'a');
    const Wildcard pattern = Wildcard::contains(ManyStars[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(pattern.matches(as));
}
BENCHMARK(BM_ManyStarsLongText)->Arg(0)->Arg(1)->ArgNames({"list"})->Unit(benchmark::kMicrosecond);

} // namespace
