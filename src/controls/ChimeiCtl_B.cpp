#include "ChimeiCtl_B.h"

#include "Bgr.h"

#include <QPainter>

ChimeiCtl_B::ChimeiCtl_B(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    dots_ = QImage(37, 192, QImage::Format_RGB32);
    clearDots();
    resize(sizeHint());
}

QSize ChimeiCtl_B::sizeHint() const { return {35, 192}; }

int32_t ChimeiCtl_B::BackColor() const { return backColor_; }
void ChimeiCtl_B::setBackColor(int32_t bgr) { backColor_ = bgr; clearDots(); }
int32_t ChimeiCtl_B::ForeColor() const { return foreColor_; }
void ChimeiCtl_B::setForeColor(int32_t bgr) { foreColor_ = bgr; }
void ChimeiCtl_B::Refresh() { update(); }
int16_t ChimeiCtl_B::Speed() const { return speed_; }
void ChimeiCtl_B::setSpeed(int16_t v) { speed_ = v; }
int32_t ChimeiCtl_B::ScrollStartWait() const { return scrollStartWait_; }
void ChimeiCtl_B::setScrollStartWait(int32_t ms) { scrollStartWait_ = ms; }
void ChimeiCtl_B::DrawDot16(int32_t, int32_t, QString&) {}
void ChimeiCtl_B::SetChimei(const QString&) { clearDots(); }
int16_t ChimeiCtl_B::Mode() const { return mode_; }
void ChimeiCtl_B::setMode(int16_t v) { mode_ = v; }
int16_t ChimeiCtl_B::Appearance() const { return appearance_; }
void ChimeiCtl_B::setAppearance(int16_t v) { appearance_ = v; clearDots(); }
int16_t ChimeiCtl_B::FontMode() const { return fontMode_; }
void ChimeiCtl_B::setFontMode(int16_t v) { fontMode_ = v; }
bool ChimeiCtl_B::FontBold() const { return fontBold_; }
void ChimeiCtl_B::setFontBold(bool v) { fontBold_ = v; }
void ChimeiCtl_B::ReadProperties(const QVariantMap&) {}
void ChimeiCtl_B::WriteProperties(QVariantMap&) const {}

void ChimeiCtl_B::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), fromBgr(backColor_));
    p.drawImage(viewport_.topLeft() + QPoint(0, dotsTop_), dots_);
}

void ChimeiCtl_B::clearDots() { dots_.fill(fromBgr(backColor_)); update(); }
void ChimeiCtl_B::moveDots(int top) { dotsTop_ = top; update(); }
