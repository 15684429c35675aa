#include "ChimeiCtl_B.h"

#include "Bgr.h"
#include "ChimeiLayout.h"
#include "Cp932.h"
#include "TextLib.h"

#include <QFontDatabase>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kDotSurfaceWidth = 37;
constexpr int kGlyphSize = 16;
constexpr int kFrameRate = 60;   // at most this many repaints a second while scrolling

// The installed face for the Gothic or Mincho glyphs: the IPA faces, else another face with
// Japanese coverage, so that a machine without them still shows the name.
QString japaneseFamily(bool mincho) {
    const QStringList preferred = mincho
        ? QStringList{"IPAMincho", "IPAexMincho", "Noto Serif CJK JP", "TakaoMincho"}
        : QStringList{"IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP", "VL Gothic", "TakaoGothic"};
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

ChimeiCtl_B::ChimeiCtl_B(QWidget* parent)
    : QWidget(parent),
      dots_(kDotSurfaceWidth, chimei::kPanelHeight, QImage::Format_RGB32),
      glyph_(kGlyphSize, kGlyphSize, QImage::Format_RGB32),
      gothic_(glyphFont(false)),
      mincho_(glyphFont(true)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    dots_.fill(fromBgr(backColor_));
    glyph_.fill(Qt::white);
    resize(sizeHint());
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ChimeiCtl_B::step);
}

QSize ChimeiCtl_B::sizeHint() const { return {35, 192}; }

int32_t ChimeiCtl_B::BackColor() const { return backColor_; }
void ChimeiCtl_B::setBackColor(int32_t bgr) {
    backColor_ = bgr;
    clearDots();
}

int32_t ChimeiCtl_B::ForeColor() const { return foreColor_; }
void ChimeiCtl_B::setForeColor(int32_t bgr) { foreColor_ = bgr; }

void ChimeiCtl_B::Refresh() { update(viewport_); }

int16_t ChimeiCtl_B::Speed() const { return speed_; }
void ChimeiCtl_B::setSpeed(int16_t v) {
    // The distance so far is covered at the old speed; the new one applies from now.
    if (scroll_.running()) step();
    speed_ = v;
    schedule();
}

int32_t ChimeiCtl_B::ScrollStartWait() const { return scrollStartWait_; }
void ChimeiCtl_B::setScrollStartWait(int32_t ms) { scrollStartWait_ = ms; }

void ChimeiCtl_B::DrawDot16(int32_t x, int32_t y, QString& ch) {
    glyph_.fill(Qt::white);
    if (ch.isEmpty()) return;
    const chimei::Placement at = chimei::placementFor(ch, fontMode_);
    const QFont& font = chimei::usesMincho(fontMode_, chimei::cp932Code(ch)) ? mincho_ : gothic_;
    {
        QPainter p(&glyph_);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(at.ox, at.oy + QFontMetrics(font).ascent(), ch);
    }
    const QRgb dot = fromBgr(foreColor_).rgb();
    for (int a = 0; a < kGlyphSize; ++a) {
        for (int b = 0; b < kGlyphSize; ++b) {
            if (glyph_.pixel(a, b) != 0xFF000000u) continue;
            const int dx = x + 2 * (at.transpose ? b : a), dy = y + 2 * (at.transpose ? a : b);
            if (dots_.valid(dx, dy)) dots_.setPixel(dx, dy, dot);
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
    timer_.stop();
    const std::string bytes = cp932::fromUtf8Lossy(name.toStdString());
    // A trailing odd byte makes a cell of its own, so it counts in the layout too.
    const int cells = (LenB_ASCII(bytes) + 1) / 2;
    const chimei::Layout layout = chimei::layoutFor(cells, mode_);
    if (dots_.height() != layout.height) dots_ = QImage(kDotSurfaceWidth, layout.height, QImage::Format_RGB32);
    dots_.fill(fromBgr(backColor_));
    for (int k = 0; k < cells; ++k) {
        QString cell = QString::fromStdString(cp932::toUtf8(MidB_ASCII(bytes, 2 * k + 1, 2)));
        DrawDot16(2, layout.first + k * layout.pitch, cell);
    }
    if (!layout.scrolls) {
        moveDots(0);
        return;
    }
    moveDots(viewport_.height());
    scroll_.start(viewport_.height(), layout.height, scrollStartWait_);
    clock_.start();
    schedule();
}

int16_t ChimeiCtl_B::Mode() const { return mode_; }
void ChimeiCtl_B::setMode(int16_t v) { mode_ = v; }

int16_t ChimeiCtl_B::Appearance() const { return appearance_; }
void ChimeiCtl_B::setAppearance(int16_t v) {
    appearance_ = v;
    clearDots();
    viewport_.setSize(v != 0 ? QSize(37, 195) : QSize(35, 185));
    update();
}

int16_t ChimeiCtl_B::FontMode() const { return fontMode_; }
void ChimeiCtl_B::setFontMode(int16_t v) { fontMode_ = v; }

bool ChimeiCtl_B::FontBold() const { return fontBold_; }
void ChimeiCtl_B::setFontBold(bool v) {
    fontBold_ = v;
    gothic_.setBold(v);
    mincho_.setBold(v);
}

void ChimeiCtl_B::ReadProperties(const QVariantMap& bag) {
    const auto get = [&bag](const char* key, const QVariant& def) { return bag.value(QLatin1String(key), def); };
    setBackColor(get("BackColor", 8421504).toInt());
    foreColor_ = get("ForeColor", 48895).toInt();
    speed_ = static_cast<int16_t>(get("Speed", 5).toInt());
    scrollStartWait_ = get("ScrollStartWait", 1500).toInt();
    mode_ = static_cast<int16_t>(get("Mode", 2).toInt());
    appearance_ = static_cast<int16_t>(get("Appearance", 1).toInt());   // no resize on restore
    fontMode_ = static_cast<int16_t>(get("FontMode", 0).toInt());
    setFontBold(get("FontBold", false).toBool());
    update();
}

void ChimeiCtl_B::WriteProperties(QVariantMap& bag) const {
    bag.insert(QStringLiteral("BackColor"), backColor_);
    bag.insert(QStringLiteral("ForeColor"), foreColor_);
    bag.insert(QStringLiteral("Speed"), speed_);
    bag.insert(QStringLiteral("ScrollStartWait"), scrollStartWait_);
    bag.insert(QStringLiteral("Mode"), mode_);
    bag.insert(QStringLiteral("Appearance"), appearance_);
    bag.insert(QStringLiteral("FontMode"), fontMode_);
    bag.insert(QStringLiteral("FontBold"), fontBold_);
}

void ChimeiCtl_B::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), fromBgr(backColor_));
    p.setClipRect(viewport_);
    p.drawImage(viewport_.left(), viewport_.top() + dotsTop_, dots_);
}

void ChimeiCtl_B::clearDots() {
    dots_.fill(fromBgr(backColor_));
    update(viewport_);
}

void ChimeiCtl_B::moveDots(int top) {
    if (top == dotsTop_) return;
    dotsTop_ = top;
    update(viewport_);
}

void ChimeiCtl_B::step() {
    const double ms = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
    clock_.start();
    scroll_.advance(ms, speed_, scrollStartWait_);
    if (scroll_.running()) moveDots(scroll_.top());
    schedule();
}

void ChimeiCtl_B::schedule() {
    if (!scroll_.running()) return;
    // Wake when the shown position next changes, but no more often than the frame rate and
    // at least once a second.
    const double wait = std::clamp(scroll_.msToNextChange(speed_), 1000.0 / kFrameRate, 1000.0);
    timer_.start(static_cast<int>(std::ceil(wait)));
}
