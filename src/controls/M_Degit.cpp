#include "M_Degit.h"

#include "Bgr.h"
#include "Dlg100.h"

#include <QPainter>

namespace {
struct CellGeometry { int width; int height; };
CellGeometry cellOf(int16_t size) {
    switch (size) {
    case 1: return {17, 26};
    case 2: return {19, 29};
    case 3: return {11, 15};
    default: return {13, 20};
    }
}
} // namespace

M_Degit::M_Degit(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resizeToCells();
    clearSurface();
}

QSize M_Degit::sizeHint() const {
    const CellGeometry cell = cellOf(degitSize_);
    return {cell.width * keta_, cell.height};
}

int32_t M_Degit::ShowSetDlg() {
    int16_t zero = zeroMode_, shift = shift_, fill = fillZero_;
    const int32_t result = Call_dlg100(this, keta_, zero, shift, fill);
    zeroMode_ = zero;
    shift_ = shift;
    fillZero_ = fill;
    drawValue();
    return result;
}

int32_t M_Degit::BaseForeColor() const { return baseForeColor_; }
void M_Degit::setBaseForeColor(int32_t bgr) { baseForeColor_ = bgr; drawValue(); }
int32_t M_Degit::DegitForeColor() const { return degitForeColor_; }
void M_Degit::setDegitForeColor(int32_t bgr) { degitForeColor_ = bgr; drawValue(); }
int16_t M_Degit::FillZero() const { return fillZero_; }
void M_Degit::setFillZero(int16_t v) { fillZero_ = std::min(v, keta_); }
int16_t M_Degit::ZeroMode() const { return zeroMode_; }
void M_Degit::setZeroMode(int16_t v) { zeroMode_ = v < 4 ? v : 0; }
int16_t M_Degit::Shift() const { return shift_; }
void M_Degit::setShift(int16_t v) { shift_ = std::max<int16_t>(0, std::min<int16_t>(v, keta_ - 1)); }
int16_t M_Degit::Keta() const { return keta_; }
void M_Degit::setKeta(int16_t v) { keta_ = (v < 1 || v > 15) ? 4 : v; resizeToCells(); drawValue(); }
int16_t M_Degit::DegitSize() const { return degitSize_; }
void M_Degit::setDegitSize(int16_t v) { degitSize_ = (v < 1 || v > 3) ? 0 : v; resizeToCells(); drawValue(); }
int16_t M_Degit::DegitStyle() const { return degitStyle_; }
void M_Degit::setDegitStyle(int16_t v) { degitStyle_ = v; drawValue(); }
DegitValue M_Degit::Value() const { return value_; }
void M_Degit::setValue(const DegitValue& v) { value_ = v; drawValue(); }
void M_Degit::ResetDegit(bool) {}
bool M_Degit::UserSet() const { return userSet_; }
void M_Degit::setUserSet(bool v) { userSet_ = v; }
QWidget* M_Degit::hwnd() { return this; }
int32_t M_Degit::BackColor() const { return backColor_; }
void M_Degit::setBackColor(int32_t bgr) { backColor_ = bgr; clearSurface(); drawValue(); }
void M_Degit::ReadProperties(const QVariantMap&) {}
void M_Degit::WriteProperties(QVariantMap&) const {}

void M_Degit::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, surface_);
}

void M_Degit::resizeEvent(QResizeEvent*) { clearSurface(); }
void M_Degit::mouseDoubleClickEvent(QMouseEvent*) { emit DblClick(); }

void M_Degit::drawValue() { clearSurface(); update(); }

void M_Degit::resizeToCells() { resize(sizeHint()); }

void M_Degit::clearSurface() {
    surface_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    surface_.fill(fromBgr(backColor_));
}
