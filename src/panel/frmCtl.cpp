#include "frmCtl.h"

#include "Backlight.h"
#include "Bgr.h"
#include "BoardGeometry.h"
#include "ChimeiCtl_B.h"
#include "Cp932.h"
#include "Dlg110.h"
#include "Form1.h"
#include "M_Degit.h"
#include "Messages.h"
#include "PanelInfo.h"
#include "RoundRegion.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSessionManager>

using board::px;

namespace {

constexpr int ClientHeight = px(frmCtl::ClientHeightTwips);
// The window's border takes the difference between the window width and the client width.
constexpr int clientWidth(int windowTwips) {
    return px(windowTwips - (frmCtl::ClosedWidthTwips - frmCtl::ClientWidthTwips));
}

QFont gothic(double points, bool bold = false, bool proportional = true) {
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
    // A label keeps its own clicks: a double-click on the route display is not one on its frame.
    l->setAttribute(Qt::WA_NoMousePropagation);
    return l;
}

QFrame* entryFrame(QWidget* parent, const QString& name) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    f->setAutoFillBackground(true); // the frame in front hides the one behind it
    f->setGeometry(4, 3, 128, 167);
    return f;
}

} // namespace

frmCtl::frmCtl(Form1& board, OptionInfo& options, fare::Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window),
      board_(board), options_(options), services_(services),
      engine_(options, board, *this, services) {
    setObjectName(QStringLiteral("frmCtl"));
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFont(gothic(9));
    setFixedSize(clientWidth(ClosedWidthTwips), ClientHeight);

    buildListFrame();
    buildKeypadFrame();
    frame1_[0]->lower(); // keypad in front until a saved choice says otherwise
    buildRightSide();

    // The desktop ending the session asks the same question; "No" asks it to stay.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (manager.allowsInteraction() && !confirmExit()) manager.cancel();
    });
}

frmCtl::~frmCtl() = default;

void frmCtl::buildKeypadFrame() {
    QFrame* f = frame1_[1] = entryFrame(this, QStringLiteral("Frame1_1"));
    f->installEventFilter(this);

    const QString display = QStringLiteral("color: #FF8000; background-color: black; padding-right: 2px;");
    label2_[0] = label(f, QStringLiteral("Label2_0"), QString(), {6, 6, 72, 24});
    label2_[1] = label(f, QStringLiteral("Label2_1"), QStringLiteral("-"), {80, 6, 8, 24});
    label2_[2] = label(f, QStringLiteral("Label2_2"), QString(), {90, 6, 32, 24});
    for (QLabel* l : label2_) {
        l->setFont(gothic(14.25, false, false));
        l->setStyleSheet(display);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    label2_[1]->setAlignment(Qt::AlignCenter);
    label2_[1]->setStyleSheet(QStringLiteral("color: #FF8000;"));

    // Calculator grid: 7 8 9 / 4 5 6 / 1 2 3 / 0 系統 (区間).
    static constexpr int grid[4][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}, {0, 10, 11}};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            const int k = grid[r][c];
            const QString caption = k < 10 ? QString::number(k) : k == 10 ? QStringLiteral("系統") : QStringLiteral("区間");
            QPushButton* key = button(f, QStringLiteral("CommandButton1_%1").arg(k), caption,
                                      {14 + 35 * c, 36 + 27 * r, 30, k == 0 ? 27 : 26});
            QPalette pal = key->palette();
            pal.setColor(QPalette::Button, k == 10 ? QColor(0xFF, 0xFF, 0x00) : QColor(0xE0, 0xE0, 0xE0));
            key->setPalette(pal);
            key->setFont(k < 10 ? gothic(15.75, true) : gothic(8.25));
            key->setFocusPolicy(Qt::NoFocus);
            keys_[static_cast<size_t>(k)] = key;
            if (k < 11) connect(key, &QPushButton::clicked, this, [this, k] { keyPressed(k); });
        }
    }
    keys_[11]->hide();
    keys_[11]->setEnabled(false);

    command1_[1] = button(f, QStringLiteral("Command1_1"), QStringLiteral("リセット"), {8, 146, 112, 18});
    connect(command1_[1], &QPushButton::clicked, this, [this] { engine_.routeSet(1); });
}

void frmCtl::buildListFrame() {
    QFrame* f = frame1_[0] = entryFrame(this, QStringLiteral("Frame1_0"));
    f->installEventFilter(this);

    label(f, QStringLiteral("Label5"), QStringLiteral("系統設定"), {6, 3, 80, 14});
    label(f, QStringLiteral("Label6"), QStringLiteral("系　統"), {6, 18, 110, 14})->setAlignment(Qt::AlignCenter);
    QLabel* label7 = label(f, QStringLiteral("Label7"), QStringLiteral("区間"), {6, 18, 60, 14});
    label7->hide();
    label7->setEnabled(false);

    auto digitList = [&](const QString& name, int x) {
        auto* list = new QListWidget(f);
        list->setObjectName(name);
        list->setGeometry(x, 32, 22, 112);
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
    for (int i = 0; i < 5; ++i) {
        list2_[static_cast<size_t>(i)] = digitList(QStringLiteral("List2_%1").arg(i), 6 + 22 * i);
        connect(list2_[static_cast<size_t>(i)], &QListWidget::itemClicked, this, [this] { playKeySound(); });
    }
    // No section entry in this configuration: its lists exist but are out of reach.
    for (int i = 0; i < 3; ++i) {
        QListWidget* list = list3_[static_cast<size_t>(i)] = digitList(QStringLiteral("List3_%1").arg(i), 60 + 22 * i);
        list->hide();
        list->setEnabled(false);
    }

    command1_[0] = button(f, QStringLiteral("Command1_0"), QStringLiteral("リセット"), {8, 146, 112, 18});
    connect(command1_[0], &QPushButton::clicked, this, [this] { engine_.routeSet(0); });
}

void frmCtl::buildRightSide() {
    // Data forward / back and display clear: usable only once a route is loaded.
    command2_[1] = button(this, QStringLiteral("Command2_1"), QStringLiteral("データ送り"), {138, 4, 98, 32});
    command2_[0] = button(this, QStringLiteral("Command2_0"), QStringLiteral("データ戻し"), {138, 39, 98, 32});
    for (int i = 0; i < 2; ++i) {
        command2_[static_cast<size_t>(i)]->setEnabled(false);
        connect(command2_[static_cast<size_t>(i)], &QPushButton::clicked, this, [this, i] { engine_.step(i); });
    }
    check1_ = button(this, QStringLiteral("Check1"), QStringLiteral("表示消去"), {138, 74, 98, 24});
    check1_->setCheckable(true);
    check1_->setEnabled(false);
    connect(check1_, &QPushButton::toggled, this, &frmCtl::displayClear);

    frame6_ = new QFrame(this);
    frame6_->setObjectName(QStringLiteral("Frame6"));
    frame6_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame6_->setGeometry(138, 101, 98, 69);
    check2_ = new QCheckBox(QStringLiteral("深夜料金"), frame6_);
    check2_->setObjectName(QStringLiteral("Check2"));
    check2_->setGeometry(6, 3, 86, 18);
    const QString scrollCaption[2] = {QStringLiteral("ｽｸﾛｰﾙ速度"), QStringLiteral("ｽｸﾛｰﾙ間隔")};
    const int range[2][2] = {{1, 2000}, {0, 3000}};
    for (int i = 0; i < 2; ++i) {
        const int y = 22 + 23 * i;
        label(frame6_, QStringLiteral("Label3_%1").arg(i), scrollCaption[i], {6, y, 58, 12});
        QLabel* value = label1_[static_cast<size_t>(i)] =
            label(frame6_, QStringLiteral("Label1_%1").arg(i), QString::number(range[i][0]), {62, y, 30, 12});
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* bar = hscroll1_[static_cast<size_t>(i)] = new QScrollBar(Qt::Horizontal, frame6_);
        bar->setObjectName(QStringLiteral("HScroll1_%1").arg(i));
        bar->setGeometry(6, y + 12, 86, 10);
        bar->setRange(range[i][0], range[i][1]);
        connect(bar, &QScrollBar::valueChanged, this, &frmCtl::scrollChanged);
    }

    // Broadcast group: speech decides whether it can be used (set at load).
    grpM_Tape_ = new QGroupBox(this);
    grpM_Tape_->setObjectName(QStringLiteral("grpM_Tape"));
    grpM_Tape_->setGeometry(242, 2, 107, 76);
    const struct { const char* name; QString caption; QRect geometry; } tape[] = {
        {"cmdTapeBack", QStringLiteral("戻し"), {6, 18, 46, 25}},
        {"cmdTapeNext", QStringLiteral("送り"), {55, 18, 46, 25}},
        {"cmdTapeStop", QStringLiteral("■"), {6, 46, 46, 25}},
        {"cmdTapeSet", QStringLiteral("調整"), {55, 46, 46, 25}},
    };
    for (const auto& t : tape) button(grpM_Tape_, QString::fromLatin1(t.name), t.caption, t.geometry)->setEnabled(false);

    // Backlight: hidden in this configuration, so OFF stays selected.
    frame2_ = new QGroupBox(QStringLiteral("バックライト"), this);
    frame2_->setObjectName(QStringLiteral("Frame2"));
    frame2_->setGeometry(242, 80, 107, 40);
    const QString lights[3] = {QStringLiteral("OFF"), QStringLiteral("ON1"), QStringLiteral("ON2")};
    for (int i = 0; i < 3; ++i) {
        auto* o = option4_[static_cast<size_t>(i)] = new QRadioButton(lights[i], frame2_);
        o->setObjectName(QStringLiteral("Option4_%1").arg(i));
        o->setGeometry(4 + 34 * i, 18, 34, 16);
        connect(o, &QRadioButton::clicked, this, [this, i] { Option4_Click(static_cast<int16_t>(i)); });
    }
    option4_[0]->setChecked(true);
    frame2_->hide();

    button(this, QStringLiteral("Command4"), QStringLiteral("設定..."), {242, 84, 107, 26});
    QPushButton* version = button(this, QStringLiteral("Command8"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), {242, 114, 107, 26});
    connect(version, &QPushButton::clicked, this, &frmCtl::showVersion);
    check4_ = button(this, QStringLiteral("Check4"), QStringLiteral(">>"), {242, 144, 107, 26});
    check4_->setCheckable(true);
    check4_->setToolTip(QStringLiteral("整理券プレビューを開きます"));
    connect(check4_, &QPushButton::toggled, this, &frmCtl::previewToggle);

    // Preview area, right of the closed window's edge.
    const int previewLeft = px(5415);
    label(this, QStringLiteral("Label4"), QStringLiteral("整理券プレビュー"), {previewLeft, 4, 220, 14});
    picSeirikenPrev_ = label(this, QStringLiteral("picSeirikenPrev"), QString(), {previewLeft, 20, px(3300), px(1395)});
    picSeirikenPrev_->setFrameStyle(QFrame::Box | QFrame::Plain);
    picSeirikenPrev_->installEventFilter(this);
    preview_ = QImage(picSeirikenPrev_->contentsRect().size(), QImage::Format_RGB32);
    clearPreview();
    combo1_ = new QComboBox(this);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->setGeometry(px(5430), 120, px(3300) - 1, 22);

    mnuHide_ = new QMenu(this);
    mnuHide_->setObjectName(QStringLiteral("MnuHide"));
    QAction* copy = mnuHide_->addAction(QStringLiteral("コピー(&C)"));
    copy->setObjectName(QStringLiteral("MnuHideCopy"));
    connect(copy, &QAction::triggered, this, &frmCtl::copyPreview);
}

void frmCtl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

// Runs when the board's start-up first shows the panel.
void frmCtl::Form_Load() {
    board_.setWindowTitle(QStringLiteral("Ferio - 型番:") + panel::modelName());
    // Rounded key shapes that cut away the buttons' outer border.
    for (QPushButton* key : keys_) key->setMask(board::roundRectRegion(QRect(2, 2, 26, 23)));
    // Speech synthesis is not available, so the broadcast group stays out of use.
    speechAvailable_ = false;
    grpM_Tape_->setTitle(QStringLiteral("音合使用不可"));
    grpM_Tape_->setEnabled(false);
}

void frmCtl::playKeySound() { services_.playSound(options_.SoundReset, "S1", false); }

void frmCtl::keyPressed(int k) {
    playKeySound();
    QLabel* route = label2_[0];
    if (k == 10)
        route->clear();
    else if (route->text().size() != 5)
        route->setText(route->text() + QString::number(k));
}

void frmCtl::switchEntryFrame(int i) {
    if (i != 0 && i != 1) return;
    hiddenEntryFrame_ = static_cast<int16_t>(i);
    frame1_[static_cast<size_t>(i)]->stackUnder(frame1_[static_cast<size_t>(1 - i)]);
}

void frmCtl::displayClear(bool on) {
    if (on) {
        board_.setChimei("");
        for (int cell = 1; cell <= board::Cells; ++cell) {
            board_.Degit(cell)->ResetDegit(false);
            board_.S_Degit(cell)->ResetDegit(false);
        }
        board_.Timer1().stop();
        // An empty value, drawn blank: the clock's own zero mode would show an empty value as 0.
        board_.TimeDegit(0)->ResetDegit(false);
        board_.TimeDegit(1)->ResetDegit(false);
    }
    for (QWidget* w : {static_cast<QWidget*>(frame1_[0]), static_cast<QWidget*>(frame1_[1]),
                       static_cast<QWidget*>(command2_[0]), static_cast<QWidget*>(command2_[1]),
                       static_cast<QWidget*>(frame6_)})
        w->setEnabled(!on);
    if (on) {
        grpM_Tape_->setEnabled(false);
        return;
    }
    if (!board_.TimeDegit(0)->isHidden()) board_.Timer1().start();
    grpM_Tape_->setEnabled(speechAvailable_);
    DispData(engine_.state().CurrentStop + 1);
}

void frmCtl::previewToggle(bool open) {
    setFixedSize(clientWidth(open ? OpenWidthTwips : ClosedWidthTwips), ClientHeight);
    check4_->setText(open ? QStringLiteral("<<") : QStringLiteral(">>"));
    check4_->setToolTip(open ? QStringLiteral("整理券プレビューを隠します") : QStringLiteral("整理券プレビューを開きます"));
}

void frmCtl::scrollChanged() {
    for (size_t i = 0; i < 2; ++i) label1_[i]->setText(QString::number(hscroll1_[i]->value()));
    board_.ChimeiCtl()->setSpeed(static_cast<int16_t>(hscroll1_[0]->value()));
    board_.ChimeiCtl()->setScrollStartWait(hscroll1_[1]->value());
}

void frmCtl::showVersion() {
    const QString text = panel::versionText(panel::modelName(), QDate::currentDate().year());
    board_.setEnabled(false);
    Call_dlg110(this, 1, QByteArray::fromStdString(cp932::fromUtf8Lossy(text.toStdString())));
    board_.setEnabled(true);
}

void frmCtl::copyPreview() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(preview_);
}

bool frmCtl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 2; ++i) {
            if (watched == frame1_[static_cast<size_t>(i)]) {
                switchEntryFrame(i);
                return true;
            }
        }
    }
    if (watched == picSeirikenPrev_ && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) mnuHide_->popup(mouse->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmCtl::Option4_Click(int16_t index) {
    static constexpr int16_t OptionInfo::*userChoice[3] = {&OptionInfo::PanelOffUser, &OptionInfo::PanelOn1User,
                                                           &OptionInfo::PanelOn2User};
    static constexpr std::string OptionInfo::*userFile[3] = {&OptionInfo::PanelOffFile, &OptionInfo::PanelOn1File,
                                                             &OptionInfo::PanelOn2File};
    const int32_t colours[3] = {options_.SeiriNumColorOff, options_.SeiriNumColorOn1, options_.SeiriNumColorOn2};
    int error = 0;
    int32_t colour = 0;
    if (index < 0 || index > 2) {
        error = 9; // no such backlight state
    } else {
        const auto i = static_cast<size_t>(index);
        colour = colours[i];
        if (selected(options_.PanelIndividual) && selected(options_.*userChoice[i])) {
            const QString path = QString::fromStdString(options_.*userFile[i]);
            QPixmap picture;
            if (QFileInfo::exists(path)) {
                error = backlight::loadPicture(path, picture);
                if (!error) board_.setPicture(picture);
            }
        } else {
            board_.setPicture(board_.imgRes(index));
        }
    }
    if (error)
        msg::show(this, {QStringLiteral("エラー"), backlight::errorText(error), QMessageBox::Critical});
    for (int cell = 1; cell <= board::Cells; ++cell) {
        QLabel* l = board_.lblSeiriNum(cell);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, fromBgr(colour));
        l->setPalette(pal);
    }
}

void frmCtl::GetCtrlDataInfo() {
    ctrlDataInfo.PanelLeft = board::twips(x());
    ctrlDataInfo.PanelTop = board::twips(y());
    ctrlDataInfo.ScrollSpeed = hscroll1_[0]->value();
    ctrlDataInfo.ScrollInterval = hscroll1_[1]->value();
    ctrlDataInfo.HiddenEntryFrame = hiddenEntryFrame_;
    ctrlDataInfo.PreviewOpen = check4_->isChecked() ? 1 : 0;
    ctrlDataInfo.LateNightFare = check2_->isChecked() ? 1 : 0;
}

bool frmCtl::SetCtrlDataInfo() {
    const CtrlDataInfo& d = ctrlDataInfo;
    move(px(d.PanelLeft), px(d.PanelTop));
    // A value the scroll bar cannot take fails here, leaving the rest as it was.
    for (size_t i = 0; i < 2; ++i) {
        const int32_t v = i == 0 ? d.ScrollSpeed : d.ScrollInterval;
        if (v < hscroll1_[i]->minimum() || v > hscroll1_[i]->maximum()) return false;
        hscroll1_[i]->setValue(v);
    }
    hiddenEntryFrame_ = d.HiddenEntryFrame;
    check4_->setChecked(d.PreviewOpen != 0);
    check2_->setChecked(d.LateNightFare != 0);
    switchEntryFrame(hiddenEntryFrame_);
    return true;
}

fare::RouteEntry frmCtl::readEntry(int button) {
    if (button == 1) return {label2_[0]->text().toStdString(), label2_[2]->text().toStdString()};
    auto joined = [](const auto& lists) {
        std::string text;
        for (QListWidget* l : lists)
            if (QListWidgetItem* item = l->currentItem(); item && item->isSelected()) text += item->text().toStdString();
        return text;
    };
    return {joined(list2_), joined(list3_)};
}

void frmCtl::enableDataControls() {
    command2_[0]->setEnabled(true);
    command2_[1]->setEnabled(true);
    check1_->setEnabled(true);
}

bool frmCtl::lateNight() { return check2_->isChecked(); }

int16_t frmCtl::companyIndex() { return static_cast<int16_t>(combo1_->currentIndex()); }

void frmCtl::clearPreview() {
    preview_.fill(Qt::white);
    picSeirikenPrev_->setPixmap(QPixmap::fromImage(preview_));
}

void frmCtl::drawTicket(const fare::TicketArgs&) {
    // The ticket plugin draws into preview_; what it drew becomes visible here.
    picSeirikenPrev_->setPixmap(QPixmap::fromImage(preview_));
}

void frmCtl::showMessage(const std::string& text) { msg::info(this, QString::fromStdString(text)); }

void frmCtl::closeEvent(QCloseEvent* event) {
    if (!confirmExit()) event->ignore();
}

bool frmCtl::confirmExit() {
    const auto answer = msg::show(this, {QStringLiteral("Ferioの終了確認"), QStringLiteral("Ferioを終了しますか？"),
                                         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
    if (answer != QMessageBox::Yes) return false;
    board_.setChimei("");
    board_.DeleteRgn();
    // The key shapes belong to the keys; the sound channels, speech and the settings file
    // are closed and written by their own modules once they take part in the exit.
    QCoreApplication::exit(0);
    return true;
}
