#include "panel/PanelWidgets.h"

#include <QLabel>
#include <QPushButton>

namespace panel {

QFont gothic(double points, bool bold, bool proportional) {
    QFont f(proportional ? QStringLiteral("IPAPGothic") : QStringLiteral("IPAGothic"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setAttribute(Qt::WA_NoMousePropagation);
    return l;
}

void outOfReach(QWidget* w) {
    w->hide();
    w->setEnabled(false);
}

} // namespace panel
