#include "sound/JapaneseReading.h"

#include "sound/ReadingRules.h"
#include "sound/ReadingsTable.h"

#include <QFile>

#include <mecab.h>

#include <cstdio>
#include <deque>

namespace {

QHash<QString, QString> readingsFrom(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: 読めません: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return {};
    }
    const QByteArray bytes = file.read(LargestReadingsBytes + 1);
    if (bytes.size() > LargestReadingsBytes) {
        std::fprintf(stderr, "%s: 読みません: %lld バイトを超えています\n", qPrintable(path),
                     static_cast<long long>(LargestReadingsBytes));
        return {};
    }
    const ReadingsTable table = parseReadings(bytes, path);
    for (const QString& damaged : table.damaged) std::fprintf(stderr, "%s\n", qPrintable(damaged));
    return table.readings;
}

// Units of the character at i: two for a surrogate pair.
qsizetype charLength(const QString& text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
}

} // namespace

JapaneseReading::JapaneseReading(MeCab::Model* model, MeCab::Tagger* tagger)
    : model_(model),
      tagger_(tagger),
      builtIn_(readingsFrom(QStringLiteral(":/sound/readings.tsv"))) {
    useReadingsFile({});
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

void JapaneseReading::useReadingsFile(const std::string& path) {
    readings_ = builtIn_;
    if (!path.empty()) readings_.insert(readingsFrom(QString::fromStdString(path)));
    longest_ = 0;
    for (auto it = readings_.cbegin(); it != readings_.cend(); ++it) longest_ = std::max(longest_, it.key().size());
}

std::string JapaneseReading::katakana(const std::string& utf8Text) const {
    // NFKC turns full-width digits and letters into ASCII and half-width kana into full-width.
    QString text = QString::fromStdString(utf8Text).normalized(QString::NormalizationForm_KC);
    qsizetype end = 0;
    for (qsizetype n = 0; n < MaxCharacters && end < text.size(); ++n) end += charLength(text, end);
    text.truncate(end);
    const QByteArray bytes = text.toUtf8();
    std::unique_ptr<MeCab::Lattice> lattice(model_->createLattice());
    lattice->set_sentence(bytes.constData(), bytes.size());

    // Each surface of the dictionary found in the text, the longest first, becomes one word of
    // MeCab's analysis: a place name with our reading, which the rules then see as a noun.
    std::deque<std::string> features; // the lattice keeps pointers to them until parsing is done
    for (qsizetype i = 0, byte = 0; i < text.size();) {
        qsizetype length = std::min(longest_, text.size() - i);
        for (; length > 0; --length) {
            const auto hit = readings_.constFind(text.mid(i, length));
            if (hit == readings_.cend()) continue;
            // The base form is the reading too: MeCab takes a "*" there as the end of the feature.
            features.push_back(QStringLiteral("名詞,固有名詞,地域,一般,*,*,%1,%1,%1").arg(*hit).toStdString());
            const qsizetype end = byte + text.mid(i, length).toUtf8().size();
            lattice->set_feature_constraint(byte, end, features.back().c_str());
            i += length;
            byte = end;
            break;
        }
        if (length > 0) continue;
        const qsizetype step = charLength(text, i);
        byte += text.mid(i, step).toUtf8().size();
        i += step;
    }
    if (!tagger_->parse(lattice.get())) return spellOut(text).toStdString();

    std::vector<Morpheme> words;
    for (const MeCab::Node* n = lattice->bos_node()->next; n && n->stat != MECAB_EOS_NODE; n = n->next)
        words.push_back(
            {QString::fromUtf8(n->surface, n->length), QString::fromUtf8(n->feature), n->rlength > n->length});
    return readAloud(words).toStdString();
}
