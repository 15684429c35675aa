#pragma once
// The spoken form of a Japanese announcement: katakana for espeak-ng's Japanese voice, which
// cannot read kanji. MeCab (ipadic) gives each word's pronunciation, so that the particle は is
// ワ and へ is エ; numbers, Latin letters and punctuation get readings of our own.
#include <QString>

#include <memory>
#include <string>
#include <vector>

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

    std::string katakana(const std::string& utf8Text) const;

private:
    struct Fix {
        QString surface;
        QString reading;
    };
    JapaneseReading(MeCab::Model* model, MeCab::Tagger* tagger);

    std::unique_ptr<MeCab::Model> model_;
    std::unique_ptr<MeCab::Tagger> tagger_;
    std::vector<Fix> fixes_;
};
