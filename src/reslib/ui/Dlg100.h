#pragma once
// Settings dialog of a digit display: how zero and -1 show, zero fill and shift.
#include <QWidget>
#include <cstdint>

// Modal dialog over `window` for a display of `keta` cells. Returns 1 on OK and stores the
// chosen values in the three arguments; returns 0 on Cancel and leaves them as they were.
int32_t Call_dlg100(QWidget* window, int16_t keta, int16_t& zeroMode, int16_t& shift, int16_t& fillZero);
