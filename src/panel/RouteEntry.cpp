#include "panel/RouteEntry.h"

#include "panel/PanelGeometry.h"
#include "panel/PanelWidgets.h"
#include "window/RoundRegion.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace panel {

namespace geo = geometry;

namespace {

QFrame* entryFrame(QWidget* parent, const QString& name) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    f->setAutoFillBackground(true); // the frame in front hides the one behind it
    f->setGeometry(QRect(QPoint(), geo::EntryFrame.size()));
    return f;
}

} // namespace

RouteEntry::RouteEntry(QWidget* parent) : QWidget(parent) {
    setGeometry(geo::EntryFrame);
    buildListFrame();
    buildKeypadFrame();
    frames_[0]->lower(); // keypad in front until a saved choice says otherwise
}

void RouteEntry::buildKeypadFrame() {
    QFrame* f = frames_[1] = entryFrame(this, QStringLiteral("Frame1_1"));
    f->installEventFilter(this);

    const QString captions[3] = {QString(), QStringLiteral("-"), QString()};
    for (size_t i = 0; i < displays_.size(); ++i) {
        QLabel* l = displays_[i] = label(f, QStringLiteral("Label2_%1").arg(i), captions[i], geo::EntryDisplays[i]);
        l->setFont(gothic(14.25, false, false));
        l->setStyleSheet(QStringLiteral("color: #FF8000; background-color: black; padding-right: 2px;"));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    displays_[1]->setAlignment(Qt::AlignCenter);
    displays_[1]->setStyleSheet(QStringLiteral("color: #FF8000;"));

    for (int k = 0; k < 12; ++k) {
        const QString caption = k < 10 ? QString::number(k) : k == 10 ? QStringLiteral("系統") : QStringLiteral("区間");
        QPushButton* key = keys_[static_cast<size_t>(k)] =
            button(f, QStringLiteral("CommandButton1_%1").arg(k), caption, geo::keyRect(k));
        QPalette pal = key->palette();
        pal.setColor(QPalette::Button, k == 10 ? QColor(0xFF, 0xFF, 0x00) : QColor(0xE0, 0xE0, 0xE0));
        key->setPalette(pal);
        key->setFont(k < 10 ? gothic(15.75, true) : gothic(8.25));
        key->setFocusPolicy(Qt::NoFocus);
        if (k < 11) connect(key, &QPushButton::clicked, this, [this, k] { keyPressed(k); });
    }
    outOfReach(keys_[11]);

    QPushButton* reset = button(f, QStringLiteral("Command1_1"), QStringLiteral("リセット"), geo::EntryReset);
    connect(reset, &QPushButton::clicked, this, [this] { emit routeSetRequested(fare::EntrySource::Keypad); });
}

void RouteEntry::buildListFrame() {
    QFrame* f = frames_[0] = entryFrame(this, QStringLiteral("Frame1_0"));
    f->installEventFilter(this);

    label(f, QStringLiteral("Label5"), QStringLiteral("系統設定"), geo::ListTitle);
    label(f, QStringLiteral("Label6"), QStringLiteral("系　統"), geo::RouteTitle)->setAlignment(Qt::AlignCenter);
    outOfReach(label(f, QStringLiteral("Label7"), QStringLiteral("区間"), geo::SectionTitle));

    auto digitList = [&](const QString& name, int x) {
        auto* list = new QListWidget(f);
        list->setObjectName(name);
        list->setGeometry(x, geo::ListTop, geo::ListWidth, geo::ListHeight);
        list->setFont(gothic(8, false, false)); // all ten digits in view
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        for (int d = 0; d <= 9; ++d) {
            list->addItem(QString::number(d));
            list->item(d)->setTextAlignment(Qt::AlignCenter);
            list->item(d)->setSizeHint(QSize(18, 11));
        }
        return list;
    };
    for (size_t i = 0; i < routeLists_.size(); ++i) {
        const int x = geo::RouteListLeft + geo::ListWidth * static_cast<int>(i);
        routeLists_[i] = digitList(QStringLiteral("List2_%1").arg(i), x);
        // A new choice clicks, whether made with the mouse or the keyboard.
        connect(routeLists_[i], &QListWidget::itemSelectionChanged, this, &RouteEntry::keySound);
    }
    // No section entry in this configuration: its lists exist but are out of reach.
    for (size_t i = 0; i < sectionLists_.size(); ++i) {
        const int x = geo::SectionListLeft + geo::ListWidth * static_cast<int>(i);
        outOfReach(sectionLists_[i] = digitList(QStringLiteral("List3_%1").arg(i), x));
    }

    QPushButton* reset = button(f, QStringLiteral("Command1_0"), QStringLiteral("リセット"), geo::EntryReset);
    connect(reset, &QPushButton::clicked, this, [this] { emit routeSetRequested(fare::EntrySource::DigitLists); });
}

void RouteEntry::keyPressed(int k) {
    emit keySound();
    QLabel* route = displays_[0];
    if (k == 10)
        route->clear();
    else if (route->text().size() != 5)
        route->setText(route->text() + QString::number(k));
}

void RouteEntry::enterRoute(const QString& digits) { displays_[0]->setText(digits.left(5)); }

void RouteEntry::sendBehind(int i) { frames_[static_cast<size_t>(i)]->stackUnder(frames_[static_cast<size_t>(1 - i)]); }

void RouteEntry::shapeKeys() {
    for (QPushButton* key : keys_) key->setMask(window::roundRectRegion(geo::KeyShape));
}

void RouteEntry::releaseKeyShapes() {
    for (QPushButton* key : keys_) key->clearMask();
}

fare::RouteEntry RouteEntry::read(fare::EntrySource source) const {
    if (source == fare::EntrySource::Keypad)
        return {displays_[0]->text().toStdString(), displays_[2]->text().toStdString()};
    auto joined = [](const auto& lists) {
        std::string text;
        for (QListWidget* l : lists)
            if (QListWidgetItem* item = l->currentItem(); item && item->isSelected())
                text += item->text().toStdString();
        return text;
    };
    return {joined(routeLists_), joined(sectionLists_)};
}

bool RouteEntry::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 2; ++i) {
            if (watched == frames_[static_cast<size_t>(i)]) {
                emit frameDoubleClicked(i);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace panel
