#pragma once
// How an announcer reads what MeCab has split: the pronunciation of each morpheme, corrected by
// rules that look at its part of speech and its neighbours (方 as カタ after お降りの, 行き as ユキ
// after a place, 一丁目 as イッチョーメ), then numbers, Latin letters and punctuation spelt out.
// Plain Qt Core, so that it is tested without MeCab's dictionary in the way.
#include <QString>

#include <vector>

struct Morpheme {
    QString surface;
    QString features; // ipadic's: part of speech (four fields), conjugation, base form, readings
    bool spaceBefore = false;
};

// The katakana the voice is given for a sentence's morphemes.
QString readAloud(const std::vector<Morpheme>& words);

// Every character in a form the voice says: numbers and Latin letters read out, hiragana as
// katakana, punctuation as a pause. For text MeCab could not split.
QString spellOut(const QString& text);
