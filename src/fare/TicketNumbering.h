#pragma once
// Numbering of the 32 ticket-number labels of the board (SeirikenNumSet): which ticket number,
// or which word for passengers without a ticket, each fare cell stands for.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace fare {

// What SeirikenNumSet writes. captions[k - 1] is label k; nullopt leaves that label as it is.
struct TicketLabels {
    std::array<std::optional<std::string>, 32> captions;
    int label1PointSize = 17; // label 1 is "ＭＳ Ｐゴシック" (IPAPGothic) in every style
    int label1Top = 18;       // pixels
};

// A ticket number in full-width digits, padded to two digits when zeroPad ("01", "12").
std::string ticketNumberText(int number, bool zeroPad);

// The labels for numbering style 0 ... 11; any other style only sets label 1's font and top.
TicketLabels ticketLabels(int16_t style, int16_t zeroPad);

} // namespace fare
