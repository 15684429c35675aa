#include "fare/TicketNumbering.h"

namespace fare {

std::string ticketNumberText(int number, bool zeroPad) {
    std::string digits = std::to_string(number);
    if (zeroPad && digits.size() < 2) digits.insert(0, 1, '0');
    std::string out;
    for (char c : digits) {
        if (c >= '0' && c <= '9') {
            // U+FF10 + d in UTF-8: EF BC 90+d
            out += "\xEF\xBC";
            out += static_cast<char>(0x90 + (c - '0'));
        } else {
            out += c;
        }
    }
    return out;
}

TicketLabels ticketLabels(int16_t style, int16_t zeroPad) {
    // The words of styles 2 ... 11 in pairs; "な し" and "無 券" keep their ASCII space.
    static const char* const words[] = {"な し", "無 券", "券なし", "券無し", ""};
    TicketLabels labels;
    const bool pad = zeroPad != 0;
    if (style >= 2) {
        labels.label1PointSize = 13;
        labels.label1Top = 20;
    }
    if (style < 0 || style > 11) return labels;

    if (style >= 2) labels.captions[0] = words[(style - 2) / 2];
    // Styles 1 and the even word styles count from 0; the rest count from 1.
    const int offset = (style == 1 || (style >= 2 && style % 2 == 0)) ? -1 : 0;
    for (int k = style >= 2 ? 2 : 1; k <= 32; ++k)
        labels.captions[static_cast<size_t>(k - 1)] = ticketNumberText(k + offset, pad);
    return labels;
}

} // namespace fare
