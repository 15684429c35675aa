#pragma once
// The resource library's version box: shows a CP932 text in a modal box with an OK button.
#include <QByteArray>
#include <QWidget>
#include <cstdint>

// kind 1 is the program's version box (the only kind there is). Returns 1 when closed.
int32_t Call_dlg110(QWidget* owner, int32_t kind, const QByteArray& cp932Text);
