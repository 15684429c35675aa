#include "controls/M_Degit.h"

#include "controls/ControlProperties.h"
#include "controls/SegmentFace.h"
#include "reslib/ui/Bgr.h"
#include "reslib/ui/Dlg100.h"

#include <QPainter>
#include <algorithm>

namespace {

DegitValue valueFromVariant(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString();
    case QMetaType::Double:
    case QMetaType::Float: return v.toDouble();
    default: return static_cast<qint64>(v.toLongLong());
    }
}

} // namespace

QVariant DegitSettings::storedValue() const {
    return std::visit([](const auto& x) { return QVariant::fromValue(x); }, value);
}

void DegitSettings::restoreValue(const QVariant& v) { value = valueFromVariant(v); }

using controlprops::assign;

M_Degit::M_Degit(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    clearSurface();
}

QSize M_Degit::sizeHint() const {
    const QSize cell = segface::cellSize(s_.degitSize);
    return QSize(cell.width() * s_.keta, cell.height()) * scale_;
}

qreal M_Degit::zoom() const { return scale_ * devicePixelRatioF(); }

QSize M_Degit::surfaceSize() const { return (QSizeF(size()) * devicePixelRatioF()).toSize().expandedTo(QSize(1, 1)); }

int32_t M_Degit::ShowSetDlg() {
    int16_t zero = s_.zeroMode, shift = s_.shift, fill = s_.fillZero;
    const int32_t result = Call_dlg100(this, s_.keta, zero, shift, fill);
    // Whatever the dialog left is taken as it is: it offers only values within range.
    assign(this, s_.zeroMode, zero, &M_Degit::ZeroModeChanged);
    assign(this, s_.shift, shift, &M_Degit::ShiftChanged);
    assign(this, s_.fillZero, fill, &M_Degit::FillZeroChanged);
    redraw();
    return result;
}

// Every setter that redraws redraws unless the surface already shows the present settings, so
// setting the same value again still applies format settings changed since the last redraw.
int32_t M_Degit::BaseForeColor() const { return s_.baseForeColor; }
void M_Degit::setBaseForeColor(int32_t bgr) {
    assign(this, s_.baseForeColor, bgr, &M_Degit::BaseForeColorChanged);
    redraw();
}

int32_t M_Degit::DegitForeColor() const { return s_.degitForeColor; }
void M_Degit::setDegitForeColor(int32_t bgr) {
    assign(this, s_.degitForeColor, bgr, &M_Degit::DegitForeColorChanged);
    redraw();
}

// The three format settings take effect at the next redraw.
int16_t M_Degit::FillZero() const { return s_.fillZero; }
void M_Degit::setFillZero(int16_t v) { assign(this, s_.fillZero, std::min(v, s_.keta), &M_Degit::FillZeroChanged); }

M_Degit::ZeroRule M_Degit::ZeroMode() const { return ZeroRule(s_.zeroMode); }
void M_Degit::setZeroMode(int16_t v) { assign(this, s_.zeroMode, v < 4 ? v : int16_t(0), &M_Degit::ZeroModeChanged); }

int16_t M_Degit::Shift() const { return s_.shift; }
void M_Degit::setShift(int16_t v) {
    if (v > s_.keta - 1) v = static_cast<int16_t>(s_.keta - 1);
    assign(this, s_.shift, std::max<int16_t>(v, 0), &M_Degit::ShiftChanged);
}

int16_t M_Degit::Keta() const { return s_.keta; }
void M_Degit::setKeta(int16_t v) {
    assign(this, s_.keta, (v < 1 || v > 15) ? int16_t(4) : v, &M_Degit::KetaChanged);
    resize(sizeHint()); // also undoes a size the host gave the display
    redraw();
}

int16_t M_Degit::DegitSize() const { return s_.degitSize; }
void M_Degit::setDegitSize(int16_t v) {
    assign(this, s_.degitSize, (v < 1 || v > 3) ? int16_t(0) : v, &M_Degit::DegitSizeChanged);
    resize(sizeHint());
    redraw();
}

M_Degit::Face M_Degit::DegitStyle() const { return Face(s_.degitStyle); }
void M_Degit::setDegitStyle(int16_t v) {
    assign(this, s_.degitStyle, v, &M_Degit::DegitStyleChanged);
    redraw();
}

DegitValue M_Degit::Value() const { return s_.value; }
void M_Degit::setValue(const DegitValue& v) {
    assign(this, s_.value, v, &M_Degit::ValueChanged);
    redraw();
}

void M_Degit::ResetDegit(bool lampTest) {
    const int16_t shift = s_.shift, zero = s_.zeroMode, fill = s_.fillZero;
    setShift(0);
    setZeroMode(0);
    setFillZero(0);
    setValue(lampTest ? QString(std::max<int>(s_.keta, 0), u'8') : QString());
    setShift(shift);
    setZeroMode(zero);
    setFillZero(fill);
}

bool M_Degit::UserSet() const { return s_.userSet; }
void M_Degit::setUserSet(bool v) { assign(this, s_.userSet, v, &M_Degit::UserSetChanged); }

QWidget* M_Degit::hwnd() { return this; }

int32_t M_Degit::BackColor() const { return s_.backColor; }
void M_Degit::setBackColor(int32_t bgr) {
    assign(this, s_.backColor, bgr, &M_Degit::BackColorChanged);
    redraw();
}

int16_t M_Degit::Scale() const { return scale_; }
void M_Degit::setScale(int16_t v) {
    if (!assign(this, scale_, std::clamp<int16_t>(v, 1, 4), &M_Degit::ScaleChanged)) return;
    resize(sizeHint());
    redraw();
}

int16_t M_Degit::TopMargin() const { return topMargin_; }
void M_Degit::setTopMargin(int16_t rows) {
    rows = std::max<int16_t>(rows, 0);
    if (rows == topMargin_) return;
    topMargin_ = rows;
    drawValue();
}

void M_Degit::ReadProperties(const QVariantMap& bag) {
    s_ = controlprops::read<DegitSettings>(bag);
    clearSurface();
}

void M_Degit::WriteProperties(QVariantMap& bag) const { controlprops::write(s_, bag); }

void M_Degit::paintEvent(QPaintEvent*) {
    // Moved to a screen of another pixel ratio: drawn again at its resolution.
    if (drawnAt_.isValid() && drawnRatio_ != devicePixelRatioF()) drawValue();
    fitSurface();
    // One surface pixel to one device pixel.
    QPainter(this).drawImage(QRectF(QPointF(0, 0), QSizeF(surface_.size()) / devicePixelRatioF()), surface_);
}

void M_Degit::resizeEvent(QResizeEvent*) { fitSurface(); }

void M_Degit::mouseDoubleClickEvent(QMouseEvent*) { emit DblClick(); }

void M_Degit::drawValue() {
    const QString text = degitText(s_.value, s_.zeroMode, s_.fillZero, s_.shift, s_.keta);
    clearSurface();
    // Positions are designed pixels, placed on the device pixels of the zoom.
    const qreal z = zoom();
    const auto at = [z](qreal designed) { return static_cast<int>(std::lround(designed * z)); };
    const int cellWidth = segface::cellSize(s_.degitSize).width() + kSpacing;
    QPainter p(&surface_);
    // The unlit pattern first, then the value over it without background, right-aligned.
    const QImage eight =
        segface::glyph(s_.degitStyle, s_.degitSize, u'8', fromBgr(s_.baseForeColor).rgb(), z, topMargin_);
    for (int i = 0; i < s_.keta && at(i * cellWidth) < surface_.width(); ++i)
        p.drawImage(at(i * cellWidth), at(-1), eight);
    const QRgb lit = fromBgr(s_.degitForeColor).rgb();
    const int right = surface_.width();
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i)
        if (text[i] != u' ')
            p.drawImage(right - at((n - i) * cellWidth), at(-1),
                        segface::glyph(s_.degitStyle, s_.degitSize, text[i], lit, z, topMargin_));
    p.end();
    drawn_ = s_;
    drawnAt_ = surface_.size();
    drawnRatio_ = devicePixelRatioF();
    update();
}

void M_Degit::redraw() {
    if (drawnAt_ != surfaceSize() || drawn_ != s_) drawValue();
}

void M_Degit::clearSurface() {
    const QSize want = surfaceSize();
    if (surface_.size() != want) surface_ = QImage(want, QImage::Format_RGB32);
    surface_.fill(fromBgr(s_.backColor));
    drawnAt_ = {};
    update();
}

// Keeps what is drawn when the host resizes the control; new area shows the background.
void M_Degit::fitSurface() {
    if (surface_.size() == surfaceSize() || size().isEmpty()) return;
    QImage grown(surfaceSize(), QImage::Format_RGB32);
    grown.fill(fromBgr(s_.backColor));
    QPainter(&grown).drawImage(0, 0, surface_);
    surface_ = grown;
}
