#pragma once
// The route entry of the control panel: the keypad frame (digit keys, 系統, the route and section
// displays, its reset button) and the digit-list frame (the route lists, the hidden section
// lists, its reset button). The two frames lie on top of each other; the one in front is in use.
#include "fare/EngineViews.h"

#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace panel {

class RouteEntry : public QWidget {
    Q_OBJECT
public:
    explicit RouteEntry(QWidget* parent);

    // What the reset button of `source` reads: the route and section texts.
    fare::RouteEntry read(fare::EntrySource source) const;
    // The route display as if the digits had been keyed (at most five), without the key sound.
    void enterRoute(const QString& digits);
    // Entry frame i (0 digit lists, 1 keypad) goes behind the other one.
    void sendBehind(int i);
    // The keys' rounded shapes, which cut away the buttons' outer border, and their release.
    void shapeKeys();
    void releaseKeyShapes();

signals:
    void routeSetRequested(fare::EntrySource source);
    // A key was pressed or a digit list's choice changed: each clicks.
    void keySound();
    void frameDoubleClicked(int i);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildKeypadFrame();
    void buildListFrame();
    void keyPressed(int k);

    std::array<QFrame*, 2> frames_{};     // 0 digit lists, 1 keypad
    std::array<QPushButton*, 12> keys_{}; // by key: 0..9, 10 系統, 11 区間
    std::array<QLabel*, 3> displays_{};   // route, "-", section
    std::array<QListWidget*, 5> routeLists_{};
    std::array<QListWidget*, 3> sectionLists_{};
};

} // namespace panel
