#include "M_Degit.h"

#include "Bgr.h"
#include "Dlg100.h"
#include "SegmentFace.h"

#include <QPainter>
#include <algorithm>

M_Degit::M_Degit(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    clearSurface();
}

QSize M_Degit::sizeHint() const {
    const QSize cell = segface::cellSize(degitSize_);
    return {cell.width() * keta_, cell.height()};
}

int32_t M_Degit::ShowSetDlg() {
    int16_t zero = zeroMode_, shift = shift_, fill = fillZero_;
    const int32_t result = Call_dlg100(this, keta_, zero, shift, fill);
    // Whatever the dialog left is taken as it is: it offers only values within range.
    zeroMode_ = zero;
    shift_ = shift;
    fillZero_ = fill;
    drawValue();
    return result;
}

int32_t M_Degit::BaseForeColor() const { return baseForeColor_; }
void M_Degit::setBaseForeColor(int32_t bgr) {
    baseForeColor_ = bgr;
    drawValue();
}

int32_t M_Degit::DegitForeColor() const { return degitForeColor_; }
void M_Degit::setDegitForeColor(int32_t bgr) {
    degitForeColor_ = bgr;
    drawValue();
}

// The three format settings take effect at the next redraw.
int16_t M_Degit::FillZero() const { return fillZero_; }
void M_Degit::setFillZero(int16_t v) { fillZero_ = std::min(v, keta_); }

int16_t M_Degit::ZeroMode() const { return zeroMode_; }
void M_Degit::setZeroMode(int16_t v) { zeroMode_ = v < 4 ? v : int16_t(0); }

int16_t M_Degit::Shift() const { return shift_; }
void M_Degit::setShift(int16_t v) {
    if (v > keta_ - 1) v = static_cast<int16_t>(keta_ - 1);
    shift_ = std::max<int16_t>(v, 0);
}

int16_t M_Degit::Keta() const { return keta_; }
void M_Degit::setKeta(int16_t v) {
    keta_ = (v < 1 || v > 15) ? int16_t(4) : v;
    resizeToCells();
    drawValue();
}

int16_t M_Degit::DegitSize() const { return degitSize_; }
void M_Degit::setDegitSize(int16_t v) {
    degitSize_ = (v < 1 || v > 3) ? int16_t(0) : v;
    resizeToCells();
    drawValue();
}

int16_t M_Degit::DegitStyle() const { return degitStyle_; }
void M_Degit::setDegitStyle(int16_t v) {
    degitStyle_ = v;
    drawValue();
}

DegitValue M_Degit::Value() const { return value_; }
void M_Degit::setValue(const DegitValue& v) {
    value_ = v;
    drawValue();
}

void M_Degit::ResetDegit(bool lampTest) {
    const int16_t shift = shift_, zero = zeroMode_, fill = fillZero_;
    setShift(0);
    setZeroMode(0);
    setFillZero(0);
    setValue(lampTest ? QString(std::max<int>(keta_, 0), u'8') : QString());
    setShift(shift);
    setZeroMode(zero);
    setFillZero(fill);
}

bool M_Degit::UserSet() const { return userSet_; }
void M_Degit::setUserSet(bool v) { userSet_ = v; }

QWidget* M_Degit::hwnd() { return this; }

int32_t M_Degit::BackColor() const { return backColor_; }
void M_Degit::setBackColor(int32_t bgr) {
    backColor_ = bgr;
    clearSurface();
    drawValue();
}

namespace {

DegitValue valueFromVariant(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString();
    case QMetaType::Double:
    case QMetaType::Float: return v.toDouble();
    default: return static_cast<qint64>(v.toLongLong());
    }
}

QVariant variantFromValue(const DegitValue& v) {
    return std::visit([](const auto& x) { return QVariant::fromValue(x); }, v);
}

} // namespace

void M_Degit::ReadProperties(const QVariantMap& bag) {
    // Taken as stored: no range checks and no resize (the host restores the size itself).
    const auto get = [&bag](const char* key, const QVariant& def) { return bag.value(QLatin1String(key), def); };
    baseForeColor_ = get("BaseForeColor", 9868950).toInt();
    degitForeColor_ = get("DegitForeColor", 7525112).toInt();
    fillZero_ = static_cast<int16_t>(get("FillZero", 0).toInt());
    zeroMode_ = static_cast<int16_t>(get("ZeroMode", 0).toInt());
    shift_ = static_cast<int16_t>(get("Shift", 0).toInt());
    keta_ = static_cast<int16_t>(get("Keta", 4).toInt());
    degitSize_ = static_cast<int16_t>(get("DegitSize", 0).toInt());
    degitStyle_ = static_cast<int16_t>(get("DegitStyle", 0).toInt());
    value_ = valueFromVariant(get("Value", qint64(0)));
    userSet_ = get("UserSet", true).toBool();
    backColor_ = get("BackColor", 8421504).toInt();
    clearSurface();
}

void M_Degit::WriteProperties(QVariantMap& bag) const {
    bag.insert(QStringLiteral("BaseForeColor"), baseForeColor_);
    bag.insert(QStringLiteral("DegitForeColor"), degitForeColor_);
    bag.insert(QStringLiteral("FillZero"), fillZero_);
    bag.insert(QStringLiteral("ZeroMode"), zeroMode_);
    bag.insert(QStringLiteral("Shift"), shift_);
    bag.insert(QStringLiteral("Keta"), keta_);
    bag.insert(QStringLiteral("DegitSize"), degitSize_);
    bag.insert(QStringLiteral("DegitStyle"), degitStyle_);
    bag.insert(QStringLiteral("Value"), variantFromValue(value_));
    bag.insert(QStringLiteral("UserSet"), userSet_);
    bag.insert(QStringLiteral("BackColor"), backColor_);
}

void M_Degit::paintEvent(QPaintEvent*) {
    fitSurface();
    QPainter(this).drawImage(0, 0, surface_);
}

void M_Degit::resizeEvent(QResizeEvent*) { fitSurface(); }

void M_Degit::mouseDoubleClickEvent(QMouseEvent*) { emit DblClick(); }

void M_Degit::drawValue() {
    const QString text = degitText(value_, zeroMode_, fillZero_, shift_, keta_);
    clearSurface();
    const int cellWidth = segface::cellSize(degitSize_).width() + kSpacing;
    QPainter p(&surface_);
    // The unlit pattern first, then the value over it without background, right-aligned.
    const QImage eight = segface::glyph(degitStyle_, degitSize_, u'8', fromBgr(baseForeColor_).rgb());
    for (int i = 0; i < keta_ && i * cellWidth < surface_.width(); ++i) p.drawImage(i * cellWidth, -1, eight);
    const QRgb lit = fromBgr(degitForeColor_).rgb();
    const int left = surface_.width() - static_cast<int>(text.size()) * cellWidth;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] != u' ') p.drawImage(left + static_cast<int>(i) * cellWidth, -1, segface::glyph(degitStyle_, degitSize_, text[i], lit));
    p.end();
    update();
}

void M_Degit::resizeToCells() { resize(sizeHint()); }

void M_Degit::clearSurface() {
    const QSize want = size().expandedTo(QSize(1, 1));
    if (surface_.size() != want) surface_ = QImage(want, QImage::Format_RGB32);
    surface_.fill(fromBgr(backColor_));
    update();
}

// Keeps what is drawn when the host resizes the control; new area shows the background.
void M_Degit::fitSurface() {
    if (surface_.size() == size() || size().isEmpty()) return;
    QImage grown(size(), QImage::Format_RGB32);
    grown.fill(fromBgr(backColor_));
    QPainter(&grown).drawImage(0, 0, surface_);
    surface_ = grown;
}
