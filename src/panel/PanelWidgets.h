#pragma once
// How the control panel and its parts make their controls: the panel's Gothic faces, and buttons
// and labels named for their control and placed where the panel's geometry puts them.
#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace panel {

QFont gothic(double points, bool bold = false, bool proportional = true);
QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);
// A label keeps its own clicks: a double-click on the route display is not one on its frame.
QLabel* label(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);
// Present for the saved layout and the names, but out of the operator's reach here.
void outOfReach(QWidget* w);

} // namespace panel
