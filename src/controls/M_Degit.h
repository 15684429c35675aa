#pragma once
// Segment digit display: Keta cells of unlit 8s with the value drawn right-aligned over them.
// What is drawn stays in an image until the next redraw; an expose only copies that image.
#include <QImage>
#include <QVariantMap>
#include <QWidget>
#include <cstdint>

#include "DegitText.h"

class M_Degit : public QWidget {
    Q_OBJECT
public:
    explicit M_Degit(QWidget* parent = nullptr);
    int32_t ShowSetDlg();                       // Call_dlg100, stores the three values, redraws
    int32_t BaseForeColor() const;  void setBaseForeColor(int32_t bgr);
    int32_t DegitForeColor() const; void setDegitForeColor(int32_t bgr);
    int16_t FillZero() const;       void setFillZero(int16_t);
    int16_t ZeroMode() const;       void setZeroMode(int16_t);
    int16_t Shift() const;          void setShift(int16_t);
    int16_t Keta() const;           void setKeta(int16_t);
    int16_t DegitSize() const;      void setDegitSize(int16_t);
    int16_t DegitStyle() const;     void setDegitStyle(int16_t);
    DegitValue Value() const;       void setValue(const DegitValue&);
    void ResetDegit(bool lampTest);
    bool UserSet() const;           void setUserSet(bool);
    QWidget* hwnd();
    int32_t BackColor() const;      void setBackColor(int32_t bgr);
    // Persistence with the keys and defaults of the control ("BaseForeColor" 9868950, ...).
    void ReadProperties(const QVariantMap& bag);
    void WriteProperties(QVariantMap& bag) const;

    QSize sizeHint() const override;

signals:
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void drawValue();
    void resizeToCells();
    void clearSurface();
    void fitSurface();

    // Rendering flags of the face: no extra spacing between characters, bold segments.
    static constexpr int kSpacing = 0;

    int32_t baseForeColor_ = 0x969696;
    int32_t degitForeColor_ = 0x72D2F8;
    int16_t fillZero_ = 0;
    int16_t zeroMode_ = 0;
    int16_t shift_ = 0;
    int16_t keta_ = 4;
    int16_t degitSize_ = 0;
    int16_t degitStyle_ = 0;
    DegitValue value_ = qint64(0);
    bool userSet_ = true;
    int32_t backColor_ = 0x808080;
    QImage surface_;   // what is shown; only drawValue() and BackColor change it
};
