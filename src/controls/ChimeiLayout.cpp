#include "controls/ChimeiLayout.h"

#include "reslib/Cp932.h"

#include <QStringList>

namespace chimei {

Layout layoutFor(int cells, int16_t mode) {
    switch (cells) {
    case 0: return {0, 0};
    case 1: return {80, 0};
    case 2: return mode == 2 ? Layout{48, 64} : Layout{32, 96};
    case 3: return {16, 64};
    case 4: return {8, 48};
    case 5: return {4, 38};
    case 6: return {0, kCellPitch};
    default: return {0, kCellPitch, kCellPitch * cells, true};
    }
}

Placement placementFor(QString& ch, int16_t fontMode) {
    // Brackets, arrows, the wave dash and the equals sign turn for vertical writing.
    static const QStringList turned =
        QStringLiteral("（ ） 『 』 〔 〕 「 」 ［ ］ ＜ ＞ ｛ ｝ 〈 〉 《 》 【 】 ～ ＝ → ← ⇒ ⇔").split(u' ');
    if (ch == u"ー") {
        ch = QStringLiteral("丨");
        return {};
    }
    // Nudged one dot right in the Gothic modes so that their centre stroke sits mid-cell.
    if (ch == u"申" || ch == u"山") return {(fontMode == 0 || fontMode == 2) ? 1 : 0, 0};
    if (turned.contains(ch)) return {0, 0, true};
    // Small marks belong in the upper right of a vertical cell.
    if (ch == u"。" || ch == u"、") return {10, -10};
    return {};
}

int16_t cp932Code(const QString& ch) {
    if (ch.isEmpty()) return 0;
    const qsizetype len = ch.at(0).isHighSurrogate() && ch.size() > 1 ? 2 : 1;
    const std::string bytes = cp932::fromUtf8Lossy(ch.left(len).toStdString());
    if (bytes.empty()) return 0;
    const auto lead = static_cast<uint8_t>(bytes[0]);
    if (bytes.size() < 2) return lead;
    return static_cast<int16_t>((lead << 8) | static_cast<uint8_t>(bytes[1]));
}

bool usesMincho(int16_t fontMode, int16_t code) {
    constexpr int16_t kanji = -30561;                          // 0x889F, first kanji
    constexpr int16_t alnumFirst = -32177, alnumLast = -32102; // 0x824F … 0x829A
    switch (fontMode) {
    case 1: return true;
    case 2: return code < kanji;
    case 3: return code >= kanji;
    case 4: return code < alnumFirst || code > alnumLast;
    default: return false;
    }
}

} // namespace chimei
