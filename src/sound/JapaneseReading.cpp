#include "sound/JapaneseReading.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <mecab.h>

namespace {

// ipadic's feature field holding the pronunciation (ワ for the particle は).
constexpr int PronunciationField = 8;

// Digit names for digit-by-digit reading, and each place of a group of four digits.
const char* const Digits[] = {"ゼロ", "イチ", "ニ", "サン", "ヨン", "ゴ", "ロク", "ナナ", "ハチ", "キュー"};
const char* const Ones[] = {"", "イチ", "ニ", "サン", "ヨン", "ゴ", "ロク", "ナナ", "ハチ", "キュー"};
const char* const Tens[] = {"", "ジュー", "ニジュー", "サンジュー", "ヨンジュー",
                            "ゴジュー", "ロクジュー", "ナナジュー", "ハチジュー", "キュージュー"};
const char* const Hundreds[] = {"", "ヒャク", "ニヒャク", "サンビャク", "ヨンヒャク",
                                "ゴヒャク", "ロッピャク", "ナナヒャク", "ハッピャク", "キューヒャク"};
const char* const Thousands[] = {"", "セン", "ニセン", "サンゼン", "ヨンセン",
                                 "ゴセン", "ロクセン", "ナナセン", "ハッセン", "キューセン"};
const char* const Myriads[] = {"", "マン", "オク"}; // so integers of up to 12 digits are read as numbers

const char* const Letters[] = {"エー", "ビー", "シー", "ディー", "イー", "エフ", "ジー",
                               "エイチ", "アイ", "ジェー", "ケー", "エル", "エム", "エヌ",
                               "オー", "ピー", "キュー", "アール", "エス", "ティー", "ユー",
                               "ブイ", "ダブリュー", "エックス", "ワイ", "ゼット"};

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

// Punctuation the voice pauses at: a short pause, or the end of a sentence.
const QString ShortPause = QStringLiteral("、,・「」『』()[]{}【】〈〉《》\"'/:;-~〜");
const QString SentenceEnd = QStringLiteral("。.");

// Gives every character of the joined word readings a form the voice says: numbers and Latin
// letters are read out, hiragana becomes katakana, punctuation becomes a pause.
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

} // namespace

JapaneseReading::JapaneseReading(MeCab::Model* model, MeCab::Tagger* tagger) : model_(model), tagger_(tagger) {
    QFile file(QStringLiteral(":/sound/readings.tsv"));
    file.open(QIODevice::ReadOnly);
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        const QStringList cols = line.split('\t');
        if (!line.startsWith('#') && cols.size() == 2) fixes_.push_back({cols[0], cols[1].trimmed()});
    }
}

JapaneseReading::~JapaneseReading() = default;

std::unique_ptr<JapaneseReading> JapaneseReading::create(const std::string& dictionaryDir) {
    // An empty resource file keeps the user's mecabrc (its dictionary, its user dictionary) out.
    const char* args[] = {"mecab", "-r", "/dev/null", "-d", dictionaryDir.c_str()};
    MeCab::Model* model = MeCab::createModel(5, const_cast<char**>(args));
    if (!model) return nullptr;
    MeCab::Tagger* tagger = model->createTagger();
    if (!tagger) {
        delete model;
        return nullptr;
    }
    return std::unique_ptr<JapaneseReading>(new JapaneseReading(model, tagger));
}

std::string JapaneseReading::katakana(const std::string& utf8Text) const {
    // NFKC turns full-width digits and letters into ASCII and half-width kana into full-width.
    const QByteArray text = QString::fromStdString(utf8Text).normalized(QString::NormalizationForm_KC).toUtf8();
    std::unique_ptr<MeCab::Lattice> lattice(model_->createLattice());
    lattice->set_sentence(text.constData(), text.size());
    if (!tagger_->parse(lattice.get())) return spellOut(QString::fromUtf8(text)).toStdString();

    struct Word {
        QString surface;
        QString reading; // empty for a word ipadic does not know
        bool spaceBefore;
    };
    std::vector<Word> words;
    for (const MeCab::Node* n = lattice->bos_node()->next; n && n->stat != MECAB_EOS_NODE; n = n->next) {
        const QStringList features = QString::fromUtf8(n->feature).split(',');
        QString reading = features.size() > PronunciationField ? features[PronunciationField] : QString();
        if (reading == QStringLiteral("*")) reading.clear();
        words.push_back({QString::fromUtf8(n->surface, n->length), reading, n->rlength > n->length});
    }

    QString spoken;
    for (size_t i = 0; i < words.size();) {
        if (words[i].spaceBefore) spoken += ' ';
        // The longest fix whose surface is words i, i+1, ... exactly.
        const Fix* fix = nullptr;
        size_t fixWords = 0;
        for (const Fix& f : fixes_) {
            QString joined;
            size_t j = i;
            while (j < words.size() && joined.size() < f.surface.size()) joined += words[j++].surface;
            if (joined == f.surface && (!fix || f.surface.size() > fix->surface.size())) {
                fix = &f;
                fixWords = j - i;
            }
        }
        if (fix) {
            spoken += fix->reading;
            i += fixWords;
        } else {
            spoken += words[i].reading.isEmpty() ? words[i].surface : words[i].reading;
            ++i;
        }
    }
    return spellOut(spoken).toStdString();
}
