#pragma once
// The spoken form of a Japanese announcement: katakana for espeak-ng's Japanese voice, which
// cannot read kanji. MeCab (ipadic) splits the text and gives each word's pronunciation, so that
// the particle は is ワ and へ is エ; our reading rules and readings dictionary correct the rest.
#include <QHash>
#include <QString>

#include <memory>
#include <string>

namespace MeCab {
class Model;
class Tagger;
} // namespace MeCab

class JapaneseReading {
public:
    static constexpr const char* DefaultDictionary = "/var/lib/mecab/dic/ipadic-utf8";

    // Nullptr when MeCab cannot load the dictionary (an ipadic in UTF-8).
    static std::unique_ptr<JapaneseReading> create(const std::string& dictionaryDir = DefaultDictionary);
    ~JapaneseReading();

    // An announcement is read to its first MaxCharacters characters, some minutes of speech:
    // a stop name of 32,767 characters would take hours to say, and its analysis alone 1.5 s
    // and 45 MB.
    static constexpr qsizetype MaxCharacters = 1000;

    std::string katakana(const std::string& utf8Text) const;

    // A route author's readings (a readings.tsv file; empty or missing: none), which win over the
    // built-in ones. Damaged lines are skipped, each named on standard error.
    void useReadingsFile(const std::string& path);

private:
    JapaneseReading(MeCab::Model* model, MeCab::Tagger* tagger);

    std::unique_ptr<MeCab::Model> model_;
    std::unique_ptr<MeCab::Tagger> tagger_;
    QHash<QString, QString> builtIn_;
    QHash<QString, QString> readings_; // the built-in table with the author's over it
    qsizetype longest_ = 0;            // the longest surface in readings_
};
