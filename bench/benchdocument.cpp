// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchdocument.h"

#include "core/calendar/newyear.h"
#include "core/store/appstate.h"

#include <array>
#include <cstdint>

namespace {

// A small fixed generator (splitmix64) so the document is the same on every
// machine and library version; the standard distributions are not.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in lo..hi (inclusive).
    int between(int lo, int hi) { return lo + int(next() % std::uint64_t(hi - lo + 1)); }
    template <typename T, size_t N> const T& pick(const std::array<T, N>& a) {
        return a[size_t(next() % N)];
    }

private:
    std::uint64_t m_state;
};

using Pool = std::array<const char16_t*, 16>;

const Pool eventWords = {
    u"町内会の清掃",   u"歯医者 14:30", u"母の誕生日",     u"燃えないごみの日",
    u"保護者会",       u"給料日",       u"車検の予約",     u"同窓会（駅前）",
    u"図書館の返却日", u"健康診断",     u"実家へ帰省",     u"花火大会",
    u"運動会",         u"結婚記念日",   u"確定申告の締切", u"美容院 10時",
};

const Pool recordSentences = {
    u"朝から雨が降っていたので、駅まではバスで行った。",
    u"午前中は先週の報告書をまとめ、昼過ぎに課長へ提出した。",
    u"昼は社員食堂で日替わり定食（鯖の味噌煮）を食べた。",
    u"帰りに駅前のスーパーで特売の卵と牛乳、食パンを買った。",
    u"夕方、子どもの宿題を見てから一緒に風呂に入った。",
    u"久しぶりに学生時代の友人から電話があり、来月会う約束をした。",
    u"体重は 62.4kg、歩数は 8,214 歩。少し歩き足りない。",
    u"庭のトマトが赤くなってきたので三つ収穫した。",
    u"夜は録画しておいたドラマを見て、十一時には寝た。",
    u"会議が長引いて、予定していた資料の見直しが明日に回った。",
    u"午後から晴れて気温が上がり、半袖で十分だった。",
    u"新しい手帳の使い方を考えながら、来週の予定を書き出した。",
    u"電車が人身事故で二十分ほど遅れ、朝礼に間に合わなかった。",
    u"母に頼まれていた薬を受け取りに、薬局へ寄ってから帰宅。",
    u"週末の旅行に備えて、天気予報と宿の地図を確認しておいた。",
    u"読みかけの小説を最後まで読んだ。結末は意外だった。",
};

const Pool slotTitles = {
    u"打ち合わせ", u"通院",         u"買い物（駅前）", u"英会話教室",
    u"定例会議",   u"昼休み",       u"移動（新幹線）", u"資料作成",
    u"来客対応",   u"ジョギング",   u"子どもの送迎",   u"銀行・郵便局",
    u"夕食の準備", u"ピアノの練習", u"取引先訪問 A社", u"読書",
};

const Pool slotPhrases = {
    u"会議室Bで来期の予算案について説明を受けた。",
    u"持ち物：保険証、診察券、お薬手帳。",
    u"田中さんと山本さんが参加、議事録は私の担当。",
    u"次回までに見積もりを三社分そろえること。",
    u"駅前の本屋で参考書を二冊購入（3,080円）。",
    u"先生から発音を何度も直された。",
    u"往復 2 時間、車内でメールの返信を済ませる。",
    u"来月の展示会の出展内容を決める。",
    u"忘れずに領収書をもらう。",
    u"公園を二周、約 5km を 32 分で走った。",
    u"雨なら中止、その場合は来週の同じ時間に。",
    u"振込の控えをファイルにとじておく。",
    u"献立：肉じゃが、ほうれん草のおひたし、味噌汁。",
    u"バイエルの 45 番まで進んだ。",
    u"新製品のサンプルを持参、感触は上々。",
    u"第三章まで読了、要点をノートにまとめる。",
};

const Pool todoTexts = {
    u"会議の資料を作る",     u"電気代を払う",         u"年賀状の住所録を直す",
    u"病院の予約を取る",     u"プリンタのインク",     u"鈴木さんに返事を出す",
    u"ゴミ袋を買う",         u"保険の書類を送る",     u"自転車の空気を入れる",
    u"図書館に本を返す",     u"傘を会社から持ち帰る", u"週報を提出する",
    u"冬物をクリーニングへ", u"パスワードを変更する", u"ガソリンを入れる",
    u"引き落とし口座の確認",
};

const std::array<const char16_t*, 4> categories = {u"最重", u"重要", u"普通", u"要軽"};

// Pieces from `pool` joined by `separator` up to a length drawn from min..max; the
// last piece is cut at that length.
QString compose(Rng& rng, const Pool& pool, int minLen, int maxLen, QStringView separator = {}) {
    const int target = rng.between(minLen, maxLen);
    QString text;
    while (text.size() < target) {
        if (!text.isEmpty())
            text += separator;
        text += QString::fromUtf16(rng.pick(pool));
    }
    text.truncate(target);
    return text;
}

// A record: several lines of a few sentences each.
QString record(Rng& rng) {
    const int target = rng.between(150, 300);
    QString text;
    int sentencesOnLine = 0;
    while (text.size() < target) {
        if (sentencesOnLine == rng.between(1, 3)) {
            text += u'\n';
            sentencesOnLine = 0;
        }
        text += QString::fromUtf16(rng.pick(recordSentences));
        ++sentencesOnLine;
    }
    text.truncate(target);
    return text;
}

// A ToDo cell: `items` entries "|done,hh:mm,category,text", the time may be empty.
QString todo(Rng& rng, int items) {
    QString text;
    for (int i = 0; i < items; ++i) {
        text += u'|';
        text += rng.between(0, 3) == 0 ? u'1' : u'0';
        text += u',';
        if (rng.between(0, 2) != 0)
            text += QStringLiteral("%1:%2")
                        .arg(rng.between(6, 22), 2, 10, QLatin1Char('0'))
                        .arg(rng.between(0, 3) * 15, 2, 10, QLatin1Char('0'));
        text += u',';
        text += QString::fromUtf16(rng.pick(categories));
        text += u',';
        text += QString::fromUtf16(rng.pick(todoTexts));
    }
    return text;
}

} // namespace

namespace BenchDocument {

void fill(AppState& app, unsigned seed) {
    using namespace StoreCol;
    setCurrentDateToToday(app, 2005);
    Store_New(app, 2005);
    Rng rng(seed);
    YearStore& s = app.store();
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        s.set(r, Events, compose(rng, eventWords, 10, 20, u"・"));
        s.set(r, Record, record(rng));
        for (int i = 0; i < 7; ++i) {
            s.set(r, SlotItem1 + i, compose(rng, slotTitles, 5, 15, u"／"));
            s.set(r, SlotText1 + i, compose(rng, slotPhrases, 30, 80));
        }
        s.set(r, ToDo, todo(rng, 5));
        for (int c = WeekdayFore; c <= RecordBack; ++c)
            s.set(r, c, qint64(1 + rng.next() % 0xFFFFFF));
    }
    app.setDocChanged(false); // as if just opened
}

} // namespace BenchDocument
