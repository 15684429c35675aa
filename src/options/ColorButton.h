#pragma once
// A push button whose face is a colour, 0x00BBGGRR as the options record holds it.
#include <QPushButton>
#include <cstdint>

class ColorButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(int32_t color READ color WRITE setColor NOTIFY changed USER true)
public:
    explicit ColorButton(QWidget* parent = nullptr);

    int32_t color() const { return color_; }
    void setColor(int32_t bgr);

    QSize sizeHint() const override;

signals:
    void changed(int32_t bgr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t color_ = 0;
};
