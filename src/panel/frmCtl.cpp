#include "panel/frmCtl.h"

#include "panel/PanelGeometry.h"
#include "panel/PanelInfo.h"
#include "panel/PanelWidgets.h"
#include "panel/RouteEntry.h"
#include "panel/TicketPreview.h"
#include "reslib/ui/Dlg110.h"
#include "reslib/ui/Messages.h"
#include "reslib/ui/QtCp932.h"
#include "window/OnScreen.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSessionManager>

namespace geo = panel::geometry;

using panel::button;
using panel::label;

namespace {

// An announcement can run to many thousand characters; its tooltip shows the beginning.
constexpr qsizetype TipLength = 120;

QString announcementTip(const QString& text) {
    return text.size() <= TipLength ? text : text.left(TipLength) + QStringLiteral("…");
}

} // namespace

frmCtl::frmCtl(const OptionInfo& options, fare::Sound& sound, QWidget* parent)
    : QWidget(parent, Qt::Window),
      options_(options),
      sound_(sound) {
    setObjectName(QStringLiteral("frmCtl"));
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFont(panel::gothic(9));
    setFixedSize(geo::clientWidth(geo::ClosedWidthTwips), geo::ClientHeight);

    entry_ = new panel::RouteEntry(this);
    connect(entry_, &panel::RouteEntry::routeSetRequested, this, &frmCtl::routeSetRequested);
    connect(entry_, &panel::RouteEntry::keySound, this, &frmCtl::playKeySound);
    connect(entry_, &panel::RouteEntry::frameDoubleClicked, this, &frmCtl::switchEntryFrame);
    buildDataButtons();
    buildScrollFrame();
    buildTapeGroup();
    buildBacklightGroup();
    buildSideButtons();
    preview_ = new panel::TicketPreview(this);

    // The desktop ending the session asks the same question; "No" asks it to stay.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (manager.allowsInteraction() && !confirmExit()) manager.cancel();
    });
}

frmCtl::~frmCtl() = default;

// Data forward / back and display clear: usable only once a route is loaded.
void frmCtl::buildDataButtons() {
    dataButtons_[1] = button(this, QStringLiteral("Command2_1"), QStringLiteral("データ送り"), geo::DataForward);
    dataButtons_[0] = button(this, QStringLiteral("Command2_0"), QStringLiteral("データ戻し"), geo::DataBack);
    const fare::StepDirection directions[2] = {fare::StepDirection::Back, fare::StepDirection::Forward};
    for (size_t i = 0; i < 2; ++i) {
        dataButtons_[i]->setEnabled(false);
        connect(dataButtons_[i], &QPushButton::clicked, this, [this, d = directions[i]] { emit stepRequested(d); });
    }
    displayClearButton_ = button(this, QStringLiteral("Check1"), QStringLiteral("表示消去"), geo::DisplayClear);
    displayClearButton_->setCheckable(true);
    displayClearButton_->setEnabled(false);
    connect(displayClearButton_, &QPushButton::toggled, this, &frmCtl::displayClear);
}

// Late-night fare and the two scroll bars of the stop-name display.
void frmCtl::buildScrollFrame() {
    scrollFrame_ = new QFrame(this);
    scrollFrame_->setObjectName(QStringLiteral("Frame6"));
    scrollFrame_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    scrollFrame_->setGeometry(geo::ScrollFrame);
    lateNightBox_ = new QCheckBox(QStringLiteral("深夜料金"), scrollFrame_);
    lateNightBox_->setObjectName(QStringLiteral("Check2"));
    lateNightBox_->setGeometry(geo::LateNight);
    const QString captions[2] = {QStringLiteral("ｽｸﾛｰﾙ速度"), QStringLiteral("ｽｸﾛｰﾙ間隔")};
    const int range[2][2] = {{1, 2000}, {0, 3000}};
    for (size_t i = 0; i < 2; ++i) {
        const int y = geo::ScrollRowTop + geo::ScrollRowPitch * static_cast<int>(i);
        label(scrollFrame_, QStringLiteral("Label3_%1").arg(i), captions[i], {6, y, 58, 12});
        QLabel* value = scrollValues_[i] =
            label(scrollFrame_, QStringLiteral("Label1_%1").arg(i), QString::number(range[i][0]), {62, y, 30, 12});
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* bar = scrollBars_[i] = new QScrollBar(Qt::Horizontal, scrollFrame_);
        bar->setObjectName(QStringLiteral("HScroll1_%1").arg(i));
        bar->setGeometry(6, y + 12, 86, 10);
        bar->setRange(range[i][0], range[i][1]);
        connect(bar, &QScrollBar::valueChanged, this, &frmCtl::scrollChanged);
    }
}

// Broadcast group: speech decides whether it can be used (set at load).
void frmCtl::buildTapeGroup() {
    tapeGroup_ = new QGroupBox(this);
    tapeGroup_->setObjectName(QStringLiteral("grpM_Tape"));
    tapeGroup_->setGeometry(geo::TapeGroup);
    // In the order of TapeButton.
    const struct {
        const char* name;
        QString caption;
        QRect geometry;
    } tape[] = {
        {"cmdTapeBack", QStringLiteral("戻し"), geo::TapeBack},
        {"cmdTapeNext", QStringLiteral("送り"), geo::TapeNext},
        {"cmdTapeStop", QStringLiteral("■"), geo::TapeStop},
        {"cmdTapeSet", QStringLiteral("調整"), geo::TapeSet},
    };
    for (size_t i = 0; i < tapeButtons_.size(); ++i) {
        QPushButton* b = tapeButtons_[i] =
            button(tapeGroup_, QString::fromLatin1(tape[i].name), tape[i].caption, tape[i].geometry);
        b->setEnabled(false); // until a broadcast table is loaded
        connect(b, &QPushButton::clicked, this, [this, i] { emit tapeButtonPressed(static_cast<TapeButton>(i)); });
    }
}

// Backlight: hidden in this configuration, so OFF stays selected.
void frmCtl::buildBacklightGroup() {
    backlightGroup_ = new QGroupBox(QStringLiteral("バックライト"), this);
    backlightGroup_->setObjectName(QStringLiteral("Frame2"));
    backlightGroup_->setGeometry(geo::BacklightGroup);
    const QString lights[3] = {QStringLiteral("OFF"), QStringLiteral("ON1"), QStringLiteral("ON2")};
    for (int i = 0; i < 3; ++i) {
        auto* o = backlightButtons_[static_cast<size_t>(i)] = new QRadioButton(lights[i], backlightGroup_);
        o->setObjectName(QStringLiteral("Option4_%1").arg(i));
        o->setGeometry(4 + 34 * i, 18, 34, 16);
        connect(o, &QRadioButton::clicked, this, [this, i] { emit backlightSelected(static_cast<int16_t>(i)); });
    }
    backlightButtons_[0]->setChecked(true);
    backlightGroup_->hide();
}

void frmCtl::buildSideButtons() {
    QPushButton* options = button(this, QStringLiteral("Command4"), QStringLiteral("設定..."), geo::OptionsButton);
    connect(options, &QPushButton::clicked, this, &frmCtl::optionsRequested);
    QPushButton* version = button(this, QStringLiteral("Command8"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), geo::VersionButton);
    connect(version, &QPushButton::clicked, this, &frmCtl::showVersion);
    previewToggle_ = button(this, QStringLiteral("Check4"), QStringLiteral(">>"), geo::PreviewToggle);
    previewToggle_->setCheckable(true);
    previewToggle_->setToolTip(QStringLiteral("整理券プレビューを開きます"));
    connect(previewToggle_, &QPushButton::toggled, this, &frmCtl::previewToggle);
}

void frmCtl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

// Runs when the start-up first shows the panel.
void frmCtl::Form_Load() {
    emit boardCaptionSet(QStringLiteral("Ferio - 型番:") + panel::modelName());
    entry_->shapeKeys();
    emit loaded();
}

void frmCtl::setSpeechAvailable(bool available) {
    speechAvailable_ = available;
    tapeGroup_->setTitle(available ? QStringLiteral("音合使用可") : QStringLiteral("音合使用不可"));
    tapeGroup_->setEnabled(available);
}

void frmCtl::enableTapeButtons() {
    for (QPushButton* b : tapeButtons_) b->setEnabled(true);
    tapeGroup_->setEnabled(true);
}

void frmCtl::disableTapeGroup() { tapeGroup_->setEnabled(false); }

void frmCtl::showUpcomingAnnouncements(const QString& next, const QString& back) {
    tapeButtons_[static_cast<size_t>(TapeButton::Next)]->setToolTip(announcementTip(next));
    tapeButtons_[static_cast<size_t>(TapeButton::Back)]->setToolTip(announcementTip(back));
}

void frmCtl::playKeySound() { sound_.playSound(options_.SoundReset, "S1", false); }

void frmCtl::enterRoute(const QString& digits) { entry_->enterRoute(digits); }

void frmCtl::switchEntryFrame(int i) {
    if (i != 0 && i != 1) return;
    hiddenEntryFrame_ = static_cast<int16_t>(i);
    entry_->sendBehind(i);
}

void frmCtl::displayClear(bool on) {
    // The board is blanked before the panel's controls go out of use, and they come back
    // before the board is drawn again.
    if (on) emit displayClearRequested(true);
    for (QWidget* w : {static_cast<QWidget*>(entry_), static_cast<QWidget*>(dataButtons_[0]),
                       static_cast<QWidget*>(dataButtons_[1]), static_cast<QWidget*>(scrollFrame_)})
        w->setEnabled(!on);
    tapeGroup_->setEnabled(!on && speechAvailable_);
    if (!on) emit displayClearRequested(false);
}

void frmCtl::previewToggle(bool open) {
    fitWindow();
    previewToggle_->setText(open ? QStringLiteral("<<") : QStringLiteral(">>"));
    previewToggle_->setToolTip(open ? QStringLiteral("整理券プレビューを隠します")
                                    : QStringLiteral("整理券プレビューを開きます"));
}

void frmCtl::fitWindow() {
    // Open, the window is its designed size, or larger when a plugin's ticket needs it; closed,
    // always the designed size.
    const bool open = previewToggle_->isChecked();
    const QRect preview = preview_->geometry();
    const int width = open ? std::max(geo::clientWidth(geo::OpenWidthTwips), preview.right() + 7)
                           : geo::clientWidth(geo::ClosedWidthTwips);
    const int height = open ? std::max(geo::ClientHeight, preview.bottom() + 5) : geo::ClientHeight;
    // The preview opens to the right with the left edge kept, unless that would take it off the
    // screen (the panel starts in the bottom-right corner): then the window steps left just
    // enough, and back when the preview closes, so that its place never creeps.
    move(x() + previewShift_, y());
    previewShift_ = 0;
    if (open) {
        const QRect frame = frameGeometry();
        const QScreen* here = screen();
        const int right = frame.left() + frame.width() - this->width() + width - 1;
        previewShift_ = here ? std::max(0, right - here->geometry().right()) : 0;
        move(x() - previewShift_, y());
    }
    setFixedSize(width, height);
}

const QImage& frmCtl::previewImage() const { return preview_->image(); }

void frmCtl::setPreviewSize(int width, int height) {
    preview_->setTicketSize(width, height);
    fitWindow();
}

void frmCtl::addCompanies(const QString& pluginPath) { preview_->addCompanies(pluginPath); }

void frmCtl::clearCompanies() { preview_->clearCompanies(); }

void frmCtl::scrollChanged() {
    for (size_t i = 0; i < 2; ++i) scrollValues_[i]->setText(QString::number(scrollBars_[i]->value()));
    emit scrollSet(static_cast<int16_t>(scrollBars_[0]->value()), scrollBars_[1]->value());
}

void frmCtl::showVersion() {
    const QString text = panel::versionText(panel::modelName(), QDate::currentDate().year());
    emit boardUseChanged(false);
    Call_dlg110(this, 1, toCp932(text));
    emit boardUseChanged(true);
}

int16_t frmCtl::selectedBacklight() const {
    for (size_t i = 0; i < backlightButtons_.size(); ++i)
        if (backlightButtons_[i]->isChecked()) return static_cast<int16_t>(i);
    return -1;
}

CtrlDataInfo frmCtl::GetCtrlDataInfo() const {
    CtrlDataInfo d;
    d.PanelLeft = window::twips(x() + previewShift_); // where it stands with the preview closed
    d.PanelTop = window::twips(y());
    d.ScrollSpeed = scrollBars_[0]->value();
    d.ScrollInterval = scrollBars_[1]->value();
    d.HiddenEntryFrame = hiddenEntryFrame_;
    d.PreviewOpen = previewToggle_->isChecked() ? 1 : 0;
    d.LateNightFare = lateNightBox_->isChecked() ? 1 : 0;
    return d;
}

bool frmCtl::SetCtrlDataInfo(const CtrlDataInfo& d) {
    move(window::px(d.PanelLeft), window::px(d.PanelTop));
    window::keepOnScreen(*this);
    // A value the scroll bar cannot take fails here, leaving the rest as it was.
    for (size_t i = 0; i < 2; ++i) {
        const int32_t v = i == 0 ? d.ScrollSpeed : d.ScrollInterval;
        if (v < scrollBars_[i]->minimum() || v > scrollBars_[i]->maximum()) return false;
        scrollBars_[i]->setValue(v);
    }
    hiddenEntryFrame_ = d.HiddenEntryFrame;
    previewToggle_->setChecked(d.PreviewOpen != 0);
    lateNightBox_->setChecked(d.LateNightFare != 0);
    switchEntryFrame(hiddenEntryFrame_);
    return true;
}

void frmCtl::releaseKeyShapes() { entry_->releaseKeyShapes(); }

fare::RouteEntry frmCtl::readEntry(fare::EntrySource source) { return entry_->read(source); }

void frmCtl::enableDataControls() {
    for (QPushButton* b : dataButtons_) b->setEnabled(true);
    displayClearButton_->setEnabled(true);
}

bool frmCtl::lateNight() { return lateNightBox_->isChecked(); }

int16_t frmCtl::companyIndex() { return preview_->companyIndex(); }

void frmCtl::clearPreview() { preview_->clear(); }

void frmCtl::drawTicket(const fare::TicketArgs& args) { preview_->drawTicket(args); }

void frmCtl::showMessage(const std::string& text) { msg::info(this, QString::fromStdString(text)); }

void frmCtl::closeEvent(QCloseEvent* event) {
    if (!confirmExit()) event->ignore();
}

bool frmCtl::confirmExit() {
    const auto answer = msg::show(this, {QStringLiteral("Ferioの終了確認"), QStringLiteral("Ferioを終了しますか？"),
                                         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
    if (answer != QMessageBox::Yes) return false;
    emit exitConfirmed();
    return true;
}
