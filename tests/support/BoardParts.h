#pragma once
// The board's elements as a test looks at them: found by the names the board gives them.
#include "board/Form1.h"
#include "controls/ChimeiCtl_B.h"
#include "controls/M_Degit.h"

#include <QLabel>

inline M_Degit* Degit(const Form1& board, int i) {
    return board.findChild<M_Degit*>(QStringLiteral("Degit_%1").arg(i));
}
inline M_Degit* S_Degit(const Form1& board, int i) {
    return board.findChild<M_Degit*>(QStringLiteral("S_Degit_%1").arg(i));
}
inline QLabel* lblSeiriNum(const Form1& board, int i) {
    return board.findChild<QLabel*>(QStringLiteral("lblSeiriNum_%1").arg(i));
}
inline M_Degit* TimeDegit(const Form1& board, int i) {
    return board.findChild<M_Degit*>(QStringLiteral("TimeDegit_%1").arg(i));
}
inline ChimeiCtl_B* ChimeiCtl(const Form1& board) { return board.findChild<ChimeiCtl_B*>(QStringLiteral("ChimeiCtl")); }
