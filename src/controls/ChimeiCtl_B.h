#pragma once
// Vertical dot-matrix stop-name display: each character a 16 x 16 matrix of dots on a 2 px pitch.
// Names of up to six characters stand still; longer ones scroll upward, driven by a timer, so
// SetChimei returns at once and the scroll costs only the repaints of the visible panel. Only a
// few panels' worth of a long name is drawn at a time, ahead of the scroll, so a name of tens of
// thousands of characters costs no more than a short one. At Scale N every dot is a sharp square
// of N x N pixels (times the screen's pixel ratio).
#include "controls/ChimeiLayout.h"
#include "controls/ChimeiScroll.h"
#include "timing/Timing.h"

#include <QFont>
#include <QImage>
#include <QVariantMap>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

// The persisted settings of a stop-name display, under their bag keys; the initialisers are the
// defaults of keys missing from a bag.
struct ChimeiSettings {
    Q_GADGET
    Q_PROPERTY(int32_t BackColor MEMBER backColor)
    Q_PROPERTY(int32_t ForeColor MEMBER foreColor)
    Q_PROPERTY(int16_t Speed MEMBER speed)
    Q_PROPERTY(int32_t ScrollStartWait MEMBER scrollStartWait)
    Q_PROPERTY(int16_t Mode MEMBER mode)
    Q_PROPERTY(int16_t Appearance MEMBER appearance)
    Q_PROPERTY(int16_t FontMode MEMBER fontMode)
    Q_PROPERTY(bool FontBold MEMBER fontBold)
public:
    int32_t backColor = 0x808080; // 8421504
    int32_t foreColor = 0x00BEFF; // 48895
    int16_t speed = 5;
    int32_t scrollStartWait = 1500;
    int16_t mode = 2;
    int16_t appearance = 1;
    int16_t fontMode = 0;
    bool fontBold = false;
};

class ChimeiCtl_B : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int32_t BackColor READ BackColor WRITE setBackColor NOTIFY BackColorChanged)
    Q_PROPERTY(int32_t ForeColor READ ForeColor WRITE setForeColor NOTIFY ForeColorChanged)
    Q_PROPERTY(int16_t Speed READ Speed WRITE setSpeed NOTIFY SpeedChanged)
    Q_PROPERTY(int32_t ScrollStartWait READ ScrollStartWait WRITE setScrollStartWait NOTIFY ScrollStartWaitChanged)
    Q_PROPERTY(PairSpacing Mode READ Mode WRITE setMode NOTIFY ModeChanged)
    Q_PROPERTY(Look Appearance READ Appearance WRITE setAppearance NOTIFY AppearanceChanged)
    Q_PROPERTY(FontChoice FontMode READ FontMode WRITE setFontMode NOTIFY FontModeChanged)
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold NOTIFY FontBoldChanged)
    // How large the host shows the display (1 … 4); the host's matter, so not kept with the rest.
    Q_PROPERTY(int16_t Scale READ Scale WRITE setScale NOTIFY ScaleChanged STORED false)
public:
    // Spacing of a two-character name; any value but PairClose sets them wide apart.
    enum PairSpacing : int16_t { PairWide = 0, PairClose = 2 };
    Q_ENUM(PairSpacing)
    // The viewport's frame; any value but Flat is three-dimensional.
    enum Look : int16_t { Flat = 0, ThreeD = 1 };
    Q_ENUM(Look)
    // Which face draws which characters; any other value draws everything in Gothic.
    enum FontChoice : int16_t {
        AllGothic = 0,
        AllMincho = 1,
        KanjiGothic = 2, // kanji and single-byte characters Gothic, the rest Mincho
        KanjiMincho = 3, // the other way round
        AlnumGothic = 4, // full-width digits and Latin letters Gothic, the rest Mincho
    };
    Q_ENUM(FontChoice)

    explicit ChimeiCtl_B(QWidget* parent = nullptr);
    // The time the scroll moves by: the system's until a host gives another; a running scroll
    // carries on on the new one.
    void setTimeSource(timing::Source& time);
    int32_t BackColor() const;
    void setBackColor(int32_t bgr);
    int32_t ForeColor() const;
    void setForeColor(int32_t bgr);
    void Refresh();
    int16_t Speed() const;
    void setSpeed(int16_t);
    int32_t ScrollStartWait() const;
    void setScrollStartWait(int32_t ms);
    void DrawDot16(int32_t x, int32_t y, QString& ch);
    void SetChimei(const QString& name); // returns at once; long names scroll from a timer
    PairSpacing Mode() const;
    void setMode(int16_t);
    Look Appearance() const;
    void setAppearance(int16_t);
    FontChoice FontMode() const;
    void setFontMode(int16_t);
    bool FontBold() const;
    void setFontBold(bool);
    int16_t Scale() const;
    void setScale(int16_t);
    // Persistence under the keys and defaults of ChimeiSettings. A restore is a load: it takes
    // the values as stored, clears the name, leaves the viewport's size alone and notifies nothing.
    void ReadProperties(const QVariantMap& bag);
    void WriteProperties(QVariantMap& bag) const;

    QSize sizeHint() const override;

signals:
    void BackColorChanged(int32_t bgr);
    void ForeColorChanged(int32_t bgr);
    void SpeedChanged(int16_t speed);
    void ScrollStartWaitChanged(int32_t ms);
    void ModeChanged(ChimeiCtl_B::PairSpacing mode);
    void AppearanceChanged(ChimeiCtl_B::Look appearance);
    void FontModeChanged(ChimeiCtl_B::FontChoice fontMode);
    void FontBoldChanged(bool bold);
    void ScaleChanged(int16_t scale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What a name's glyphs are drawn with, as it was when the name was set.
    struct GlyphStyle {
        QRgb dot = 0;
        int16_t fontMode = 0;
        QFont gothic, mincho;
    };
    GlyphStyle currentStyle() const;
    void drawGlyph(int x, int y, QString& ch, const GlyphStyle& style);
    // Draws the part of the name that the viewport needs when the part drawn does not hold it.
    void followView();
    int windowFor() const;
    void drawWindow(int top);

    void clearDots();
    void applyFontBold();
    void moveDots(int top);
    void step();
    void schedule();
    // The viewport as shown, at the scale.
    QRect shownViewport() const;

    ChimeiSettings s_;
    int16_t scale_ = 1;

    QRect viewport_{0, 0, 36, 192};         // the visible frame, in designed control coordinates
    int dotsTop_ = 0;                       // top of the dot surface relative to the viewport, designed pixels
    int dotsHeight_ = chimei::kPanelHeight; // the dot surface's height, the whole name's
    // The drawn part of the dot surface: rows windowTop_ … windowTop_ + dots_.height() - 1.
    QImage dots_;
    int windowTop_ = 0;
    std::string name_; // the CP932 bytes of the name, drawn as the scroll needs them
    chimei::Layout layout_;
    GlyphStyle nameStyle_;
    QImage glyph_; // 16 x 16 scratch cell for one character
    QFont gothic_, mincho_;

    ChimeiScroll scroll_;
    timing::Source* time_ = &timing::systemTime();
    std::unique_ptr<timing::Timer> timer_;
    std::chrono::nanoseconds stepped_{}; // the time of the scroll's last step
};
