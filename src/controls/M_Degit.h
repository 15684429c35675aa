#pragma once
// Segment digit display: Keta cells of unlit 8s with the value drawn right-aligned over them.
// What is drawn stays in an image until the next redraw; an expose only copies that image. The
// image has the screen's resolution: Scale times the designed size, times the device pixel ratio.
#include <QImage>
#include <QVariantMap>
#include <QWidget>
#include <cstdint>

#include "controls/DegitText.h"

// The persisted settings of a digit display, under their bag keys; the initialisers are the
// defaults of a new display and of keys missing from a bag.
struct DegitSettings {
    Q_GADGET
    Q_PROPERTY(int32_t BaseForeColor MEMBER baseForeColor)
    Q_PROPERTY(int32_t DegitForeColor MEMBER degitForeColor)
    Q_PROPERTY(int16_t FillZero MEMBER fillZero)
    Q_PROPERTY(int16_t ZeroMode MEMBER zeroMode)
    Q_PROPERTY(int16_t Shift MEMBER shift)
    Q_PROPERTY(int16_t Keta MEMBER keta)
    Q_PROPERTY(int16_t DegitSize MEMBER degitSize)
    Q_PROPERTY(int16_t DegitStyle MEMBER degitStyle)
    Q_PROPERTY(QVariant Value READ storedValue WRITE restoreValue) // the bag holds a plain number or text
    Q_PROPERTY(bool UserSet MEMBER userSet)
    Q_PROPERTY(int32_t BackColor MEMBER backColor)
public:
    int32_t baseForeColor = 0x969696;  // 9868950
    int32_t degitForeColor = 0x72D2F8; // 7525112
    int16_t fillZero = 0;
    int16_t zeroMode = 0;
    int16_t shift = 0;
    int16_t keta = 4;
    int16_t degitSize = 0;
    int16_t degitStyle = 0;
    DegitValue value = qint64(0);
    bool userSet = true;
    int32_t backColor = 0x808080; // 8421504

    QVariant storedValue() const;
    void restoreValue(const QVariant& v);
    bool operator==(const DegitSettings&) const = default;
};

class M_Degit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int32_t BaseForeColor READ BaseForeColor WRITE setBaseForeColor NOTIFY BaseForeColorChanged)
    Q_PROPERTY(int32_t DegitForeColor READ DegitForeColor WRITE setDegitForeColor NOTIFY DegitForeColorChanged)
    Q_PROPERTY(int16_t FillZero READ FillZero WRITE setFillZero NOTIFY FillZeroChanged)
    Q_PROPERTY(ZeroRule ZeroMode READ ZeroMode WRITE setZeroMode NOTIFY ZeroModeChanged)
    Q_PROPERTY(int16_t Shift READ Shift WRITE setShift NOTIFY ShiftChanged)
    Q_PROPERTY(int16_t Keta READ Keta WRITE setKeta NOTIFY KetaChanged)
    Q_PROPERTY(int16_t DegitSize READ DegitSize WRITE setDegitSize NOTIFY DegitSizeChanged)
    Q_PROPERTY(Face DegitStyle READ DegitStyle WRITE setDegitStyle NOTIFY DegitStyleChanged)
    Q_PROPERTY(DegitValue Value READ Value WRITE setValue NOTIFY ValueChanged)
    Q_PROPERTY(bool UserSet READ UserSet WRITE setUserSet NOTIFY UserSetChanged)
    Q_PROPERTY(int32_t BackColor READ BackColor WRITE setBackColor NOTIFY BackColorChanged)
    // How large the host shows the display (1 … 4); the host's matter, so not kept with the rest.
    Q_PROPERTY(int16_t Scale READ Scale WRITE setScale NOTIFY ScaleChanged STORED false)
public:
    // How 0, the empty text and the marker -1 show; any other value shows the value as it is.
    enum ZeroRule : int16_t {
        ZeroBlank = 0,    // 0 and the empty text blank
        ZeroShown = 1,    // 0 and the empty text show 0
        ZeroByMarker = 2, // -1 shows 0, 0 is blank
        ZeroAlways = 3,   // -1, 0 and the empty text show 0
    };
    Q_ENUM(ZeroRule)
    // The segment face; any other value draws face A.
    enum Face : int16_t { FaceA = 0, FaceB = 1, FaceC = 2 };
    Q_ENUM(Face)

    explicit M_Degit(QWidget* parent = nullptr);
    int32_t ShowSetDlg(); // Call_dlg100, stores the three values, redraws
    int32_t BaseForeColor() const;
    void setBaseForeColor(int32_t bgr);
    int32_t DegitForeColor() const;
    void setDegitForeColor(int32_t bgr);
    int16_t FillZero() const;
    void setFillZero(int16_t);
    ZeroRule ZeroMode() const;
    void setZeroMode(int16_t);
    int16_t Shift() const;
    void setShift(int16_t);
    int16_t Keta() const;
    void setKeta(int16_t);
    int16_t DegitSize() const;
    void setDegitSize(int16_t);
    Face DegitStyle() const;
    void setDegitStyle(int16_t);
    DegitValue Value() const;
    void setValue(const DegitValue&);
    void ResetDegit(bool lampTest);
    bool UserSet() const;
    void setUserSet(bool);
    QWidget* hwnd();
    int32_t BackColor() const;
    void setBackColor(int32_t bgr);
    int16_t Scale() const;
    void setScale(int16_t);
    // Designed rows at the display's top that the digits leave clear, for a host that places
    // the display partly beyond its own edge; the host's matter, not kept with the rest.
    int16_t TopMargin() const;
    void setTopMargin(int16_t rows);
    // Persistence under the keys and defaults of DegitSettings. A restore is a load: it takes the
    // values as stored, leaves the size to the host, clears the surface and notifies nothing.
    void ReadProperties(const QVariantMap& bag);
    void WriteProperties(QVariantMap& bag) const;

    QSize sizeHint() const override;

signals:
    void DblClick();
    void BaseForeColorChanged(int32_t bgr);
    void DegitForeColorChanged(int32_t bgr);
    void FillZeroChanged(int16_t fillZero);
    void ZeroModeChanged(M_Degit::ZeroRule zeroMode);
    void ShiftChanged(int16_t shift);
    void KetaChanged(int16_t keta);
    void DegitSizeChanged(int16_t degitSize);
    void DegitStyleChanged(M_Degit::Face degitStyle);
    void ValueChanged(const DegitValue& value);
    void UserSetChanged(bool userSet);
    void BackColorChanged(int32_t bgr);
    void ScaleChanged(int16_t scale);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void redraw();
    void drawValue();
    void clearSurface();
    void fitSurface();

    // Rendering flags of the face: no extra spacing between characters, bold segments.
    static constexpr int kSpacing = 0;

    // Device pixels per designed pixel: the scale times the screen's pixel ratio.
    qreal zoom() const;
    QSize surfaceSize() const;

    DegitSettings s_;
    int16_t scale_ = 1;
    int16_t topMargin_ = 0;
    QImage surface_;       // what is shown, in device pixels; only drawValue() and clearSurface() change it
    DegitSettings drawn_;  // the settings the surface was last drawn from
    QSize drawnAt_;        // and its size in device pixels; invalid once the surface has been cleared
    qreal drawnRatio_ = 1; // and the screen's pixel ratio
};
