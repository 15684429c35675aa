#pragma once
// Where the controls of the control panel sit, in pixels of the panel's client area (the window
// sizes in twips, 15 to a pixel). The panel is built from these, and the end-to-end test clicks
// at them.
#include "window/Twips.h"

#include <QRect>
#include <array>

namespace panel::geometry {

using window::px;

// Window widths with the preview area closed and open, and the client area, in twips.
constexpr int ClosedWidthTwips = 5385;
constexpr int OpenWidthTwips = 9000;
constexpr int ClientWidthTwips = 5295;
constexpr int ClientHeightTwips = 2595;
constexpr int ClientHeight = px(ClientHeightTwips);
// The window's border takes the difference between the window width and the client width.
constexpr int clientWidth(int windowTwips) { return px(windowTwips - (ClosedWidthTwips - ClientWidthTwips)); }

// The route entry: its two frames lie on top of each other, filling it; positions inside them
// are frame-relative.
constexpr QRect EntryFrame{4, 3, 128, 167};
constexpr QRect EntryReset{8, 146, 112, 18};

// Keypad frame: the route display, "-" and the section display, then the calculator grid
// 7 8 9 / 4 5 6 / 1 2 3 / 0 系統 (区間).
constexpr std::array<QRect, 3> EntryDisplays{QRect{6, 6, 72, 24}, QRect{80, 6, 8, 24}, QRect{90, 6, 32, 24}};
constexpr int KeyGrid[4][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}, {0, 10, 11}};
constexpr QRect keyRect(int column, int row, bool zero) {
    return {14 + 35 * column, 36 + 27 * row, 30, zero ? 27 : 26};
}
constexpr QRect keyRect(int key) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            if (KeyGrid[r][c] == key) return keyRect(c, r, key == 0);
    return {};
}
// The rounded shape of a key, in the key's own coordinates (right and bottom edges exclusive).
constexpr QRect KeyShape{2, 2, 26, 23};

// Digit-list frame: titles and the five route lists (three section lists over their right part).
constexpr QRect ListTitle{6, 3, 80, 14};
constexpr QRect RouteTitle{6, 18, 110, 14};
constexpr QRect SectionTitle{6, 18, 60, 14};
constexpr int ListTop = 32, ListWidth = 22, ListHeight = 112;
constexpr int RouteListLeft = 6, SectionListLeft = 60;

// Right side: data buttons and display clear, then the frame with late night and the scroll bars.
constexpr QRect DataForward{138, 4, 98, 32};
constexpr QRect DataBack{138, 39, 98, 32};
constexpr QRect DisplayClear{138, 74, 98, 24};
constexpr QRect ScrollFrame{138, 101, 98, 69};
constexpr QRect LateNight{6, 3, 86, 18}; // in the scroll frame
constexpr int ScrollRowTop = 22, ScrollRowPitch = 23;

// Broadcast group and its buttons, the hidden backlight group, options, version, preview toggle.
constexpr QRect TapeGroup{242, 2, 107, 76};
constexpr QRect TapeBack{6, 18, 46, 25};
constexpr QRect TapeNext{55, 18, 46, 25};
constexpr QRect TapeStop{6, 46, 46, 25};
constexpr QRect TapeSet{55, 46, 46, 25};
constexpr QRect BacklightGroup{242, 80, 107, 40};
constexpr QRect OptionsButton{242, 84, 107, 26};
constexpr QRect VersionButton{242, 114, 107, 26};
constexpr QRect PreviewToggle{242, 144, 107, 26};

// Preview area, right of the closed window's edge, where the picture's left edge is; positions
// inside it are area-relative. The company list sits below the picture, however tall that is.
constexpr QPoint PreviewArea{px(5415), 4};
constexpr QRect PreviewTitle{0, 0, 220, 14};
constexpr QRect PreviewPicture{0, 16, px(3300), px(1395)};
constexpr QRect CompanyList{px(5430) - px(5415), 116, px(3300) - 1, 22};

} // namespace panel::geometry
