#include "controls/ChimeiCtl_B.h"

#include "controls/ChimeiLayout.h"
#include "controls/ControlProperties.h"
#include "reslib/Cp932.h"
#include "reslib/TextLib.h"
#include "reslib/ui/Bgr.h"

#include <QFontDatabase>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kDotSurfaceWidth = 37;
constexpr int kGlyphSize = 16;
constexpr int kFrameRate = 60; // at most this many repaints a second while scrolling
// Rows of the dot surface drawn at a time: the panel in view and three more ahead of the scroll,
// drawn afresh some seven times a second at Speed 2000, once a minute at the default 5.
constexpr int kWindowRows = 4 * chimei::kPanelHeight;

// The installed face for the Gothic or Mincho glyphs: the IPA faces, else another face with
// Japanese coverage, so that a machine without them still shows the name.
QString japaneseFamily(bool mincho) {
    const QStringList preferred = mincho ? QStringList{"IPAMincho", "IPAexMincho", "Noto Serif CJK JP", "TakaoMincho"}
                                         : QStringList{"IPAGothic",        "IPAexGothic", "Noto Sans Mono CJK JP",
                                                       "Noto Sans CJK JP", "VL Gothic",   "TakaoGothic"};
    const QStringList installed = QFontDatabase::families();
    for (const QString& f : preferred)
        if (installed.contains(f)) return f;
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

QFont glyphFont(bool mincho) {
    static const QString gothic = japaneseFamily(false), minchoFamily = japaneseFamily(true);
    QFont f(mincho ? minchoFamily : gothic);
    f.setPixelSize(kGlyphSize);
    // Only exactly black pixels become dots, so glyphs are rendered without smoothing.
    f.setStyleStrategy(QFont::NoAntialias);
    f.setKerning(false);
    return f;
}

} // namespace

using controlprops::assign;

ChimeiCtl_B::ChimeiCtl_B(QWidget* parent)
    : QWidget(parent),
      dots_(kDotSurfaceWidth, chimei::kPanelHeight, QImage::Format_RGB32),
      glyph_(kGlyphSize, kGlyphSize, QImage::Format_RGB32),
      gothic_(glyphFont(false)),
      mincho_(glyphFont(true)) {
    // A new panel's colours, until the host applies stored ones.
    s_.backColor = 0x404040;
    s_.foreColor = 0x80C0FF;
    setAttribute(Qt::WA_OpaquePaintEvent);
    dots_.fill(fromBgr(s_.backColor));
    glyph_.fill(Qt::white);
    resize(sizeHint());
    timer_ = time_->timer([this] { step(); });
}

void ChimeiCtl_B::setTimeSource(timing::Source& time) {
    if (&time == time_) return;
    const bool running = timer_->isActive();
    time_ = &time;
    timer_ = time_->timer([this] { step(); });
    stepped_ = time_->elapsed();
    if (running) schedule();
}

QSize ChimeiCtl_B::sizeHint() const { return QSize(35, 192) * scale_; }

QRect ChimeiCtl_B::shownViewport() const { return {viewport_.topLeft() * scale_, viewport_.size() * scale_}; }

// Setting the background erases the name even when the colour stays the same.
int32_t ChimeiCtl_B::BackColor() const { return s_.backColor; }
void ChimeiCtl_B::setBackColor(int32_t bgr) {
    assign(this, s_.backColor, bgr, &ChimeiCtl_B::BackColorChanged);
    clearDots();
}

int32_t ChimeiCtl_B::ForeColor() const { return s_.foreColor; }
void ChimeiCtl_B::setForeColor(int32_t bgr) { assign(this, s_.foreColor, bgr, &ChimeiCtl_B::ForeColorChanged); }

void ChimeiCtl_B::Refresh() { update(shownViewport()); }

int16_t ChimeiCtl_B::Speed() const { return s_.speed; }
void ChimeiCtl_B::setSpeed(int16_t v) {
    if (v == s_.speed) return;
    // The distance so far is covered at the old speed; the new one applies from now.
    if (scroll_.running()) step();
    assign(this, s_.speed, v, &ChimeiCtl_B::SpeedChanged);
    schedule();
}

int32_t ChimeiCtl_B::ScrollStartWait() const { return s_.scrollStartWait; }
void ChimeiCtl_B::setScrollStartWait(int32_t ms) {
    assign(this, s_.scrollStartWait, ms, &ChimeiCtl_B::ScrollStartWaitChanged);
}

void ChimeiCtl_B::DrawDot16(int32_t x, int32_t y, QString& ch) { drawGlyph(x, y, ch, currentStyle()); }

ChimeiCtl_B::GlyphStyle ChimeiCtl_B::currentStyle() const {
    return {fromBgr(s_.foreColor).rgb(), s_.fontMode, gothic_, mincho_};
}

// (x, y) is on the whole dot surface; what falls outside the drawn window is left out.
void ChimeiCtl_B::drawGlyph(int x, int y, QString& ch, const GlyphStyle& style) {
    glyph_.fill(Qt::white);
    if (ch.isEmpty()) return;
    const chimei::Placement at = chimei::placementFor(ch, style.fontMode);
    const QFont& font = chimei::usesMincho(style.fontMode, chimei::cp932Code(ch)) ? style.mincho : style.gothic;
    {
        QPainter p(&glyph_);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(at.ox, at.oy + QFontMetrics(font).ascent(), ch);
    }
    for (int a = 0; a < kGlyphSize; ++a) {
        for (int b = 0; b < kGlyphSize; ++b) {
            if (glyph_.pixel(a, b) != 0xFF000000u) continue;
            const int dx = x + 2 * (at.transpose ? b : a), dy = y + 2 * (at.transpose ? a : b) - windowTop_;
            if (dots_.valid(dx, dy)) dots_.setPixel(dx, dy, style.dot);
        }
    }
}

void ChimeiCtl_B::SetChimei(const QString& name) {
    clearDots();
    if (name.isEmpty()) {
        // A running scroll carries on over the blank surface until the next name.
        moveDots(0);
        return;
    }
    scroll_.stop();
    timer_->stop();
    name_ = cp932::fromUtf8Lossy(name.toStdString());
    // A trailing odd byte makes a cell of its own, so it counts in the layout too.
    layout_ = chimei::layoutFor((LenB_ASCII(name_) + 1) / 2, s_.mode);
    nameStyle_ = currentStyle();
    dotsHeight_ = layout_.height;
    dotsTop_ = layout_.scrolls ? viewport_.height() : 0;
    drawWindow(windowFor());
    if (!layout_.scrolls) return;
    scroll_.start(viewport_.height(), layout_.height, s_.scrollStartWait);
    stepped_ = time_->elapsed();
    schedule();
}

ChimeiCtl_B::PairSpacing ChimeiCtl_B::Mode() const { return PairSpacing(s_.mode); }
void ChimeiCtl_B::setMode(int16_t v) { assign(this, s_.mode, v, &ChimeiCtl_B::ModeChanged); }

// Like the background, setting the appearance erases the name even when it stays the same.
ChimeiCtl_B::Look ChimeiCtl_B::Appearance() const { return Look(s_.appearance); }
void ChimeiCtl_B::setAppearance(int16_t v) {
    assign(this, s_.appearance, v, &ChimeiCtl_B::AppearanceChanged);
    clearDots();
    viewport_.setSize(v != 0 ? QSize(37, 195) : QSize(35, 185));
    update();
}

ChimeiCtl_B::FontChoice ChimeiCtl_B::FontMode() const { return FontChoice(s_.fontMode); }
void ChimeiCtl_B::setFontMode(int16_t v) { assign(this, s_.fontMode, v, &ChimeiCtl_B::FontModeChanged); }

bool ChimeiCtl_B::FontBold() const { return s_.fontBold; }
void ChimeiCtl_B::setFontBold(bool v) {
    if (assign(this, s_.fontBold, v, &ChimeiCtl_B::FontBoldChanged)) applyFontBold();
}

int16_t ChimeiCtl_B::Scale() const { return scale_; }
void ChimeiCtl_B::setScale(int16_t v) {
    if (!assign(this, scale_, std::clamp<int16_t>(v, 1, 4), &ChimeiCtl_B::ScaleChanged)) return;
    resize(sizeHint());
    update();
}

void ChimeiCtl_B::applyFontBold() {
    gothic_.setBold(s_.fontBold);
    mincho_.setBold(s_.fontBold);
}

void ChimeiCtl_B::ReadProperties(const QVariantMap& bag) {
    s_ = controlprops::read<ChimeiSettings>(bag);
    clearDots();
    applyFontBold();
    update();
}

void ChimeiCtl_B::WriteProperties(QVariantMap& bag) const { controlprops::write(s_, bag); }

void ChimeiCtl_B::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), fromBgr(s_.backColor));
    const QRect view = shownViewport();
    p.setClipRect(view);
    // Only the rows in view, each dot magnified without smoothing into a square of its own.
    const QRect rows =
        QRect(0, -dotsTop_, dots_.width(), viewport_.height()) & QRect(0, windowTop_, dots_.width(), dots_.height());
    if (rows.isEmpty()) return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(view.left() + rows.x() * scale_, view.top() + (dotsTop_ + rows.y()) * scale_,
                      rows.width() * scale_, rows.height() * scale_),
                dots_, rows.translated(0, -windowTop_));
}

void ChimeiCtl_B::clearDots() {
    name_.clear();
    dots_.fill(fromBgr(s_.backColor));
    update(shownViewport());
}

void ChimeiCtl_B::moveDots(int top) {
    if (top == dotsTop_) return;
    dotsTop_ = top;
    followView();
    update(shownViewport());
}

void ChimeiCtl_B::followView() {
    const int first = std::max(-dotsTop_, 0), last = std::min(-dotsTop_ + viewport_.height(), dotsHeight_);
    if (first < last && (first < windowTop_ || last > windowTop_ + dots_.height())) drawWindow(windowFor());
}

// The window starts at the cell boundary at or above the first row in view.
int ChimeiCtl_B::windowFor() const {
    const int first = std::max(-dotsTop_, 0);
    return std::clamp(first - first % chimei::kCellPitch, 0, std::max(dotsHeight_ - kWindowRows, 0));
}

void ChimeiCtl_B::drawWindow(int top) {
    const int rows = std::min(dotsHeight_, kWindowRows);
    if (dots_.height() != rows) dots_ = QImage(kDotSurfaceWidth, rows, QImage::Format_RGB32);
    windowTop_ = top;
    dots_.fill(fromBgr(s_.backColor));
    update(shownViewport());
    const int cells = (LenB_ASCII(name_) + 1) / 2;
    // The cells that reach into the window: each is kCellPitch rows tall.
    int k = layout_.pitch > 0 ? std::max((top - layout_.first) / layout_.pitch - 1, 0) : 0;
    for (; k < cells; ++k) {
        const int y = layout_.first + k * layout_.pitch;
        if (y >= top + rows) break;
        if (y + chimei::kCellPitch <= top) continue;
        QString cell = QString::fromStdString(cp932::toUtf8(MidB_ASCII(name_, 2 * k + 1, 2)));
        drawGlyph(2, y, cell, nameStyle_);
    }
}

void ChimeiCtl_B::step() {
    const std::chrono::nanoseconds now = time_->elapsed();
    const double ms = static_cast<double>((now - std::exchange(stepped_, now)).count()) / 1e6;
    int16_t speed = s_.speed;
    scroll_.advance(ms, speed, s_.scrollStartWait);
    assign(this, s_.speed, speed, &ChimeiCtl_B::SpeedChanged); // a speed of 0 became 1
    if (scroll_.running()) moveDots(scroll_.top());
    schedule();
}

void ChimeiCtl_B::schedule() {
    if (!scroll_.running()) return;
    // Wake when the shown position next changes, but no more often than the frame rate and
    // at least once a second.
    const double wait = std::clamp(scroll_.msToNextChange(s_.speed), 1000.0 / kFrameRate, 1000.0);
    timer_->start(std::chrono::milliseconds(static_cast<int>(std::ceil(wait))));
}
