#include "options/ColorButton.h"

#include "reslib/ui/Bgr.h"

#include <QPainter>
#include <QStyleOptionButton>

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {}

void ColorButton::setColor(int32_t bgr) {
    if (bgr == color_) return;
    color_ = bgr;
    update();
    emit changed(bgr);
}

QSize ColorButton::sizeHint() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(40, 15), this);
}

// The button's bevel as the style draws it, with the colour filling its inside.
void ColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.fillRect(inside, fromBgr(color_));
}
