#pragma once
// Vertical dot-matrix stop-name display: each character a 16 x 16 matrix of dots on a 2 px pitch.
// Names of up to six characters stand still; longer ones scroll upward, driven by a timer, so
// SetChimei returns at once and the scroll costs only the repaints of the visible panel.
#include "ChimeiScroll.h"

#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>
#include <cstdint>

class ChimeiCtl_B : public QWidget {
    Q_OBJECT
public:
    explicit ChimeiCtl_B(QWidget* parent = nullptr);
    int32_t BackColor() const;       void setBackColor(int32_t bgr);
    int32_t ForeColor() const;       void setForeColor(int32_t bgr);
    void Refresh();
    int16_t Speed() const;           void setSpeed(int16_t);
    int32_t ScrollStartWait() const; void setScrollStartWait(int32_t ms);
    void DrawDot16(int32_t x, int32_t y, QString& ch);
    void SetChimei(const QString& name);   // returns at once; long names scroll from a timer
    int16_t Mode() const;            void setMode(int16_t);
    int16_t Appearance() const;      void setAppearance(int16_t);
    int16_t FontMode() const;        void setFontMode(int16_t);
    bool FontBold() const;           void setFontBold(bool);
    void ReadProperties(const QVariantMap& bag);
    void WriteProperties(QVariantMap& bag) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void clearDots();
    void moveDots(int top);
    void step();
    void schedule();

    int32_t backColor_ = 0x404040;
    int32_t foreColor_ = 0x80C0FF;
    int16_t speed_ = 5;
    int32_t scrollStartWait_ = 1500;
    int16_t mode_ = 2;
    int16_t appearance_ = 1;
    int16_t fontMode_ = 0;
    bool fontBold_ = false;

    QRect viewport_{0, 0, 36, 192};   // the visible frame, in control coordinates
    QImage dots_;                     // the drawn name; scrolls inside the viewport
    int dotsTop_ = 0;                 // top of the dot surface relative to the viewport
    QImage glyph_;                    // 16 x 16 scratch cell for one character
    QFont gothic_, mincho_;

    ChimeiScroll scroll_;
    QTimer timer_;
    QElapsedTimer clock_;
};
