#include "Dlg100.h"

int32_t Call_dlg100(QWidget*, int16_t, int16_t&, int16_t&, int16_t&) { return 0; }
