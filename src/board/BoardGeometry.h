#pragma once
// Where the elements of the board sit, as designed in twips, and their pixel positions
// (15 twips per pixel). The board window and its built-in panel picture both follow these.
#include "fare/FareTable.h"
#include "window/Twips.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>

namespace board {

using window::px;
using window::twips;

constexpr QSize ClientSize{px(9645), px(3600)}; // 643 x 240
constexpr int Cells = 32;
constexpr int Columns = 8;

constexpr std::array<int, 4> FareTops{600, 1365, 2130, 2910};
constexpr std::array<int, 8> FareLefts{1860, 2802, 3744, 4686, 5628, 6570, 7512, 8460};
constexpr std::array<int, 4> SmallTops{330, 1110, 1875, 2655};
constexpr std::array<int, 8> SmallLefts{2122, 3064, 4006, 4948, 5890, 6832, 7774, 8722};
constexpr std::array<int, 4> LabelTops{330, 1095, 1860, 2640};
constexpr std::array<int, 8> LabelLefts{9435, 10380, 11325, 12255, 13200, 14145, 15090, 16035};

// Fare displays: 3 digits of size class 2 (855 x 435 twips); small displays: 2 of class 3.
constexpr int FareKeta = fare::FareCellDigits, FareDegitSize = 2;
constexpr int SmallKeta = 2, SmallDegitSize = 3;
constexpr int ClockKeta = 2, ClockDegitSize = 0;
constexpr QSize FareSize{px(855), px(435)};
constexpr QSize SmallSize{px(330), px(225)};
constexpr QSize LabelSize{px(810), px(315)};

// Every array of elements also has an element 0, placed apart from the grid; the window holds
// it, but nothing the board does writes it.
constexpr QPoint Fare0Pos{px(2100), px(-105)};
constexpr QPoint Small0Pos{px(1050), px(75)};
constexpr QPoint Label0Pos{px(1185), px(45)};

constexpr int row(int cell) { return (cell - 1) / Columns; }
constexpr int column(int cell) { return (cell - 1) % Columns; }
constexpr QPoint farePos(int cell) {
    return cell == 0 ? Fare0Pos : QPoint{px(FareLefts[column(cell)]), px(FareTops[row(cell)])};
}
constexpr QPoint smallPos(int cell) {
    return cell == 0 ? Small0Pos : QPoint{px(SmallLefts[column(cell)]), px(SmallTops[row(cell)])};
}
constexpr QPoint labelPos(int cell) {
    return cell == 0 ? Label0Pos : QPoint{px(LabelLefts[column(cell)]), px(LabelTops[row(cell)])};
}

constexpr std::array<QPoint, 2> ClockPos{QPoint{px(5445), px(-75)}, QPoint{px(5850), px(-75)}};
constexpr QSize ClockSize{px(390), px(300)};
// The clock's displays reach above the board's top edge; their digits are drawn in the rows
// below it, one row clear of the edge, so that every segment shows.
constexpr int ClockTopMargin = -ClockPos[0].y();
constexpr QRect ChimeiRect{px(510), px(345), px(525), px(2880)};

} // namespace board
