#include "fare/TicketNumbering.h"

#include <gtest/gtest.h>

using fare::ticketLabels;
using fare::ticketNumberText;

TEST(TicketNumbering, FullWidthDigitsWithOptionalPadding) {
    EXPECT_EQ(ticketNumberText(1, false), "１");
    EXPECT_EQ(ticketNumberText(12, false), "１２");
    EXPECT_EQ(ticketNumberText(1, true), "０１");
    EXPECT_EQ(ticketNumberText(10, true), "１０");
    EXPECT_EQ(ticketNumberText(0, true), "００");
    // Style 1 counts from zero.
    EXPECT_EQ(*ticketLabels(1, 0).captions[0], "０");
    EXPECT_EQ(*ticketLabels(1, 0).captions[31], "３１");
}

TEST(TicketNumbering, WordStylesPutTheWordOnLabelOne) {
    const char* words[] = {"な し", "無 券", "券なし", "券無し", ""};
    for (int style = 2; style <= 11; ++style) {
        SCOPED_TRACE(style);
        auto s = ticketLabels(static_cast<int16_t>(style), 0);
        EXPECT_EQ(*s.captions[0], words[(style - 2) / 2]);
        EXPECT_EQ(s.label1PointSize, 13);
        EXPECT_EQ(s.label1Top, 20);
        // Even styles continue 1, 2, ...; odd ones 2, 3, ...
        EXPECT_EQ(*s.captions[1], style % 2 == 0 ? "１" : "２");
        EXPECT_EQ(*s.captions[31], style % 2 == 0 ? "３１" : "３２");
    }
    auto padded = ticketLabels(7, 1);
    EXPECT_EQ(*padded.captions[0], "券なし");
    EXPECT_EQ(*padded.captions[1], "０２");
    EXPECT_EQ(*padded.captions[31], "３２");
}

TEST(TicketNumbering, UnknownStylesOnlyPlaceLabelOne) {
    for (int16_t style : {int16_t(-1), int16_t(12), int16_t(300)}) {
        auto s = ticketLabels(style, 1);
        for (const auto& c : s.captions) EXPECT_FALSE(c.has_value());
        EXPECT_EQ(s.label1PointSize, style < 2 ? 17 : 13);
        EXPECT_EQ(s.label1Top, style < 2 ? 18 : 20);
    }
}
