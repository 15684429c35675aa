#include "sound/ReadingRules.h"

#include <QRegularExpression>
#include <QStringList>

#include <span>

namespace {

// ipadic's feature field holding the pronunciation (ワ for the particle は).
constexpr int PronunciationField = 8;

// Digit names for digit-by-digit reading, and each place of a group of four digits.
const char* const Digits[] = {"ゼロ", "イチ", "ニ", "サン", "ヨン", "ゴ", "ロク", "ナナ", "ハチ", "キュー"};
const char* const Ones[] = {"", "イチ", "ニ", "サン", "ヨン", "ゴ", "ロク", "ナナ", "ハチ", "キュー"};
const char* const Tens[] = {"",         "ジュー",     "ニジュー",   "サンジュー", "ヨンジュー",
                            "ゴジュー", "ロクジュー", "ナナジュー", "ハチジュー", "キュージュー"};
const char* const Hundreds[] = {"",         "ヒャク",     "ニヒャク",   "サンビャク", "ヨンヒャク",
                                "ゴヒャク", "ロッピャク", "ナナヒャク", "ハッピャク", "キューヒャク"};
const char* const Thousands[] = {"",       "セン",     "ニセン",   "サンゼン", "ヨンセン",
                                 "ゴセン", "ロクセン", "ナナセン", "ハッセン", "キューセン"};
const char* const Myriads[] = {"", "マン", "オク"}; // so integers of up to 12 digits are read as numbers

const char* const Letters[] = {"エー",   "ビー",       "シー",     "ディー", "イー",  "エフ",   "ジー",
                               "エイチ", "アイ",       "ジェー",   "ケー",   "エル",  "エム",   "エヌ",
                               "オー",   "ピー",       "キュー",   "アール", "エス",  "ティー", "ユー",
                               "ブイ",   "ダブリュー", "エックス", "ワイ",   "ゼット"};

QString digitByDigit(const QString& digits) {
    QString out;
    for (QChar c : digits) out += QString::fromUtf8(Digits[c.unicode() - '0']);
    return out;
}

QString integer(const QString& digits) {
    if (digits.size() > 12 || (digits.size() > 1 && digits.startsWith('0'))) return digitByDigit(digits);
    const qint64 value = digits.toLongLong();
    if (value == 0) return QString::fromUtf8(Digits[0]);
    QString out;
    for (int unit = 2; unit >= 0; --unit) {
        qint64 scale = 1;
        for (int k = 0; k < unit; ++k) scale *= 10000;
        const int group = static_cast<int>(value / scale % 10000);
        if (group == 0) continue;
        // A round 1000 before 万 or 億 is イッセン (1000万); elsewhere 1000 is セン.
        out += group == 1000 && unit > 0 ? QStringLiteral("イッセン") : QString::fromUtf8(Thousands[group / 1000]);
        out += QString::fromUtf8(Hundreds[group / 100 % 10]) + QString::fromUtf8(Tens[group / 10 % 10]) +
               QString::fromUtf8(Ones[group % 10]) + QString::fromUtf8(Myriads[unit]);
    }
    return out;
}

// "1,000" and "1.5" are one number each; the fraction is read digit by digit.
QString number(const QString& text) {
    const QStringList parts = QString(text).remove(',').split('.');
    QString out = integer(parts[0]);
    if (parts.size() > 1) out += QStringLiteral("テン") + digitByDigit(parts[1]);
    return out;
}

// Numerals as ipadic splits them: 三百 is 三 and 百, 二〇二六 four morphemes, 1,000 three.
const QString KanjiDigits = QStringLiteral("〇一二三四五六七八九");
const QString KanjiPlaces = QStringLiteral("十百千");
const QString KanjiMyriads = QStringLiteral("万億");

bool isNumeral(const Morpheme& m) {
    if (!m.features.startsWith(u"名詞,数") || m.surface.isEmpty()) return false;
    for (QChar c : m.surface)
        if (!(c >= '0' && c <= '9') && !KanjiDigits.contains(c) && !KanjiPlaces.contains(c) &&
            !KanjiMyriads.contains(c))
            return false;
    return true;
}

// The end of the numeral that starts at words[i] (i itself when there is none). A point before
// digits, and a comma before three of them (1,000), belong to it; a space ends it.
size_t numeralEnd(const std::vector<Morpheme>& words, size_t i) {
    static const QRegularExpression threeDigits(QStringLiteral("^[0-9]{3}$"));
    size_t end = i;
    while (end < words.size() && isNumeral(words[end]) && (end == i || !words[end].spaceBefore)) {
        if (++end + 1 >= words.size() || words[end].spaceBefore || words[end + 1].spaceBefore) continue;
        const QString& separator = words[end].surface;
        if ((separator == u"." && isNumeral(words[end + 1])) ||
            (separator == u"," && threeDigits.match(words[end + 1].surface).hasMatch()))
            ++end;
    }
    return end;
}

// ASCII digits for a numeral in kanji, ASCII or both: 三百 is "300", 二〇二六 "2026", 1万 "10000".
QString digitsOf(const QString& numeral) {
    const auto digit = [](QChar c) -> int {
        return c >= '0' && c <= '9' ? c.unicode() - '0' : static_cast<int>(KanjiDigits.indexOf(c));
    };
    QString plain;
    bool placed = false;
    for (QChar c : numeral) {
        placed = placed || KanjiPlaces.contains(c) || KanjiMyriads.contains(c);
        plain += digit(c) >= 0 ? QChar('0' + digit(c)) : c;
    }
    if (!placed) return plain; // written digit by digit, leading zeros and all
    // In double, so that an absurd numeral overflows into a value we refuse, not into garbage.
    double total = 0, section = 0, pending = 0;
    for (QChar c : numeral) {
        if (const qsizetype place = KanjiPlaces.indexOf(c); place >= 0) {
            section += (pending ? pending : 1) * (place == 0 ? 10 : place == 1 ? 100 : 1000);
            pending = 0;
        } else if (const qsizetype myriad = KanjiMyriads.indexOf(c); myriad >= 0) {
            total += (section + pending ? section + pending : 1) * (myriad == 0 ? 1e4 : 1e8);
            section = pending = 0;
        } else if (digit(c) >= 0) {
            pending = pending * 10 + digit(c);
        }
    }
    const double value = total + section + pending;
    return value < 1e12 ? QString::number(static_cast<qint64>(value))
                        : plain.remove(QRegularExpression(QStringLiteral("[^0-9]")));
}

// How the end of a number sounds before a counter, and the counter after it (empty: unchanged).
struct SoundChange {
    QStringView numberEnd;
    QStringView spoken;
    QStringView counter;
};

struct Counter {
    QStringView surface;
    QStringView reading;
    std::span<const SoundChange> changes;
};

// Before チョ: 一丁目 イッチョーメ, 八丁目 ハッチョーメ, 十丁目 ジッチョーメ; 六丁目 stays ロクチョーメ.
constexpr SoundChange BeforeCho[] = {{u"イチ", u"イッ", {}}, {u"ハチ", u"ハッ", {}}, {u"ジュー", u"ジッ", {}}};
// Before ケ and カ: 一系統 イッケートー, 六階 ロッカイ, 三階 サンガイ.
constexpr SoundChange BeforeKe[] = {{u"イチ", u"イッ", {}},
                                    {u"ロク", u"ロッ", {}},
                                    {u"ハチ", u"ハッ", {}},
                                    {u"ジュー", u"ジッ", {}},
                                    {u"ヒャク", u"ヒャッ", {}}};
constexpr SoundChange BeforeKai[] = {{u"イチ", u"イッ", {}},
                                     {u"ロク", u"ロッ", {}},
                                     {u"ハチ", u"ハッ", {}},
                                     {u"ジュー", u"ジッ", {}},
                                     {u"サン", u"サン", u"ガイ"}};
constexpr SoundChange BeforeFun[] = {{u"イチ", u"イッ", u"プン"},    {u"サン", u"サン", u"プン"},
                                     {u"ヨン", u"ヨン", u"プン"},    {u"ロク", u"ロッ", u"プン"},
                                     {u"ハチ", u"ハッ", u"プン"},    {u"ジュー", u"ジッ", u"プン"},
                                     {u"ヒャク", u"ヒャッ", u"プン"}};
constexpr SoundChange BeforeJi[] = {{u"ヨン", u"ヨ", {}}, {u"ナナ", u"シチ", {}}, {u"キュー", u"ク", {}}};
constexpr SoundChange BeforeEn[] = {{u"ヨン", u"ヨ", {}}};

// Counters of addresses, platforms, routes, times and fares. 番 and 号 keep every number as it is.
constexpr Counter Counters[] = {
    {u"丁目", u"チョーメ", BeforeCho}, {u"番", u"バン", {}},        {u"番線", u"バンセン", {}},
    {u"番地", u"バンチ", {}},          {u"番目", u"バンメ", {}},    {u"号", u"ゴー", {}},
    {u"号車", u"ゴーシャ", {}},        {u"号線", u"ゴーセン", {}},  {u"号館", u"ゴーカン", {}},
    {u"系統", u"ケートー", BeforeKe},  {u"階", u"カイ", BeforeKai}, {u"分", u"フン", BeforeFun},
    {u"時", u"ジ", BeforeJi},          {u"円", u"エン", BeforeEn},
};

// The numeral words[begin, end) read out, with the counter after it when there is one; `next`
// is where reading goes on.
QString numeral(const std::vector<Morpheme>& words, size_t begin, size_t end, size_t& next) {
    QString written;
    for (size_t k = begin; k < end; ++k) written += words[k].surface;
    QString spoken = number(digitsOf(written));
    next = end;
    if (end == words.size() || words[end].spaceBefore) return spoken;
    for (const Counter& counter : Counters) {
        if (words[end].surface != counter.surface) continue;
        QStringView counterReading = counter.reading;
        for (const SoundChange& change : counter.changes) {
            if (!spoken.endsWith(change.numberEnd)) continue;
            spoken.chop(change.numberEnd.size());
            spoken += change.spoken;
            if (!change.counter.isEmpty()) counterReading = change.counter;
            break;
        }
        next = end + 1;
        return spoken + counterReading.toString();
    }
    return spoken;
}

// A morpheme a rule looks for: its surface (empty: any) and how its features begin (empty: any).
// A pattern with neither matches everything, the start and end of the text too.
struct Pattern {
    QStringView surface;
    QStringView features;
    bool any() const { return surface.isEmpty() && features.isEmpty(); }
    bool matches(const Morpheme* m) const {
        return any() || (m && (surface.isEmpty() || m->surface == surface) && m->features.startsWith(features));
    }
};

// A word read otherwise than ipadic reads it, when the morpheme before it matches `after` and
// the one after it does not match `notBefore` (which, left empty, excludes nothing).
struct WordRule {
    Pattern word;
    Pattern after;
    Pattern notBefore;
    QStringView reading;
};

constexpr WordRule WordRules[] = {
    // 方 is a person after a verb, an auxiliary or の (乗り換える方, 不自由な方, お降りの方);
    // before へ it is a direction (駅の方へ).
    {{u"方", u"名詞,非自立"}, {{}, u"動詞"}, {u"へ", {}}, u"カタ"},
    {{u"方", u"名詞,非自立"}, {{}, u"助動詞"}, {u"へ", {}}, u"カタ"},
    {{u"方", u"名詞,非自立"}, {u"の", u"助詞"}, {u"へ", {}}, u"カタ"},
    // 行き after a place, or any noun, is where the bus goes (山の上行き); in 行きます it is the verb.
    {{u"行き", {}}, {{}, u"名詞"}, {u"ます", {}}, u"ユキ"},
    // The particle を is said オ; espeak-ng would say ヲ as "wo".
    {{u"を", u"助詞"}, {}, {}, u"オ"},
};

QString pronunciation(const Morpheme& m) {
    const QStringList features = m.features.split(',');
    const QString reading = features.size() > PronunciationField ? features[PronunciationField] : QString();
    return reading.isEmpty() || reading == u"*" ? m.surface : reading;
}

QString word(const std::vector<Morpheme>& words, size_t i) {
    const Morpheme* before = i > 0 ? &words[i - 1] : nullptr;
    const Morpheme* after = i + 1 < words.size() ? &words[i + 1] : nullptr;
    for (const WordRule& rule : WordRules)
        if (rule.word.matches(&words[i]) && rule.after.matches(before) &&
            (rule.notBefore.any() || !rule.notBefore.matches(after)))
            return rule.reading.toString();
    return pronunciation(words[i]);
}

// Punctuation the voice pauses at: a short pause, or the end of a sentence.
const QString ShortPause = QStringLiteral("、,・「」『』()[]{}【】〈〉《》\"'/:;-~〜");
const QString SentenceEnd = QStringLiteral("。.");

} // namespace

QString readAloud(const std::vector<Morpheme>& words) {
    QString spoken;
    for (size_t i = 0; i < words.size();) {
        if (words[i].spaceBefore) spoken += ' ';
        if (const size_t end = numeralEnd(words, i); end > i) {
            spoken += numeral(words, i, end, i);
        } else {
            spoken += word(words, i);
            ++i;
        }
    }
    return spellOut(spoken);
}

QString spellOut(const QString& text) {
    static const QRegularExpression numberAt(QStringLiteral("[0-9]+(?:,[0-9]{3})*(?:\\.[0-9]+)?"));
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const QRegularExpressionMatch m =
            numberAt.match(text, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (m.hasMatch()) {
            out += number(m.captured());
            i += m.capturedLength();
            continue;
        }
        const QChar c = text[i++];
        const char16_t u = c.unicode();
        if (u < 128 && c.isLetter())
            out += QString::fromUtf8(Letters[c.toUpper().unicode() - 'A']);
        else if (u >= 0x3041 && u <= 0x3096) // hiragana to its katakana
            out += QChar(u + 0x60);
        else if (ShortPause.contains(c))
            out += QStringLiteral("、");
        else if (SentenceEnd.contains(c))
            out += QStringLiteral("。");
        else
            out += c;
    }
    return out;
}
