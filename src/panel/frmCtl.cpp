#include "panel/frmCtl.h"

#include "panel/PanelGeometry.h"
#include "panel/PanelInfo.h"
#include "reslib/plugin/Rv4.h"
#include "reslib/ui/Dlg110.h"
#include "reslib/ui/Messages.h"
#include "reslib/ui/QtCp932.h"
#include "window/OnScreen.h"
#include "window/RoundRegion.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSessionManager>

namespace geo = panel::geometry;

namespace {

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
    f->setGeometry(geo::EntryFrame);
    return f;
}

// Present for the saved layout and the names, but out of the operator's reach here.
void outOfReach(QWidget* w) {
    w->hide();
    w->setEnabled(false);
}

} // namespace

frmCtl::frmCtl(const OptionInfo& options, fare::Sound& sound, QWidget* parent)
    : QWidget(parent, Qt::Window), options_(options), sound_(sound) {
    setObjectName(QStringLiteral("frmCtl"));
    setWindowTitle(QStringLiteral("集中操作盤"));
    setFont(gothic(9));
    setFixedSize(geo::clientWidth(geo::ClosedWidthTwips), geo::ClientHeight);

    buildListFrame();
    buildKeypadFrame();
    entryFrames_[0]->lower(); // keypad in front until a saved choice says otherwise
    buildDataButtons();
    buildScrollFrame();
    buildTapeGroup();
    buildBacklightGroup();
    buildSideButtons();
    buildPreviewArea();

    // The desktop ending the session asks the same question; "No" asks it to stay.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (manager.allowsInteraction() && !confirmExit()) manager.cancel();
    });
}

frmCtl::~frmCtl() = default;

void frmCtl::buildKeypadFrame() {
    QFrame* f = entryFrames_[1] = entryFrame(this, QStringLiteral("Frame1_1"));
    f->installEventFilter(this);

    const QString captions[3] = {QString(), QStringLiteral("-"), QString()};
    for (size_t i = 0; i < entryDisplays_.size(); ++i) {
        QLabel* l = entryDisplays_[i] =
            label(f, QStringLiteral("Label2_%1").arg(i), captions[i], geo::EntryDisplays[i]);
        l->setFont(gothic(14.25, false, false));
        l->setStyleSheet(QStringLiteral("color: #FF8000; background-color: black; padding-right: 2px;"));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    entryDisplays_[1]->setAlignment(Qt::AlignCenter);
    entryDisplays_[1]->setStyleSheet(QStringLiteral("color: #FF8000;"));

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

void frmCtl::buildListFrame() {
    QFrame* f = entryFrames_[0] = entryFrame(this, QStringLiteral("Frame1_0"));
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
        connect(routeLists_[i], &QListWidget::itemSelectionChanged, this, [this] { playKeySound(); });
    }
    // No section entry in this configuration: its lists exist but are out of reach.
    for (size_t i = 0; i < sectionLists_.size(); ++i) {
        const int x = geo::SectionListLeft + geo::ListWidth * static_cast<int>(i);
        outOfReach(sectionLists_[i] = digitList(QStringLiteral("List3_%1").arg(i), x));
    }

    QPushButton* reset = button(f, QStringLiteral("Command1_0"), QStringLiteral("リセット"), geo::EntryReset);
    connect(reset, &QPushButton::clicked, this, [this] { emit routeSetRequested(fare::EntrySource::DigitLists); });
}

// Data forward / back and display clear: usable only once a route is loaded.
void frmCtl::buildDataButtons() {
    dataButtons_[1] = button(this, QStringLiteral("Command2_1"), QStringLiteral("データ送り"), geo::DataForward);
    dataButtons_[0] = button(this, QStringLiteral("Command2_0"), QStringLiteral("データ戻し"), geo::DataBack);
    const fare::StepDirection directions[2] = {fare::StepDirection::Back, fare::StepDirection::Forward};
    for (size_t i = 0; i < 2; ++i) {
        dataButtons_[i]->setEnabled(false);
        connect(dataButtons_[i], &QPushButton::clicked, this,
                [this, d = directions[i]] { emit stepRequested(d); });
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
    const struct { const char* name; QString caption; QRect geometry; } tape[] = {
        {"cmdTapeBack", QStringLiteral("戻し"), geo::TapeBack},
        {"cmdTapeNext", QStringLiteral("送り"), geo::TapeNext},
        {"cmdTapeStop", QStringLiteral("■"), geo::TapeStop},
        {"cmdTapeSet", QStringLiteral("調整"), geo::TapeSet},
    };
    for (size_t i = 0; i < tapeButtons_.size(); ++i) {
        QPushButton* b = tapeButtons_[i] = button(tapeGroup_, QString::fromLatin1(tape[i].name), tape[i].caption, tape[i].geometry);
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

void frmCtl::buildPreviewArea() {
    label(this, QStringLiteral("Label4"), QStringLiteral("整理券プレビュー"), geo::PreviewTitle);
    previewPicture_ = label(this, QStringLiteral("picSeirikenPrev"), QString(), geo::PreviewPicture);
    previewPicture_->setFrameStyle(QFrame::Box | QFrame::Plain);
    previewPicture_->installEventFilter(this);
    preview_ = QImage(previewPicture_->contentsRect().size(), QImage::Format_RGB32);
    clearPreview();
    companyList_ = new QComboBox(this);
    companyList_->setObjectName(QStringLiteral("Combo1"));
    companyList_->setGeometry(geo::CompanyList);

    previewMenu_ = new QMenu(this);
    previewMenu_->setObjectName(QStringLiteral("MnuHide"));
    QAction* copy = previewMenu_->addAction(QStringLiteral("コピー(&C)"));
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

// Runs when the start-up first shows the panel.
void frmCtl::Form_Load() {
    emit boardCaptionSet(QStringLiteral("Ferio - 型番:") + panel::modelName());
    // Rounded key shapes that cut away the buttons' outer border.
    for (QPushButton* key : keys_) key->setMask(window::roundRectRegion(geo::KeyShape));
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

void frmCtl::disableTapeGroup() {
    tapeGroup_->setEnabled(false);
}

void frmCtl::showUpcomingAnnouncements(const QString& next, const QString& back) {
    tapeButtons_[static_cast<size_t>(TapeButton::Next)]->setToolTip(next);
    tapeButtons_[static_cast<size_t>(TapeButton::Back)]->setToolTip(back);
}

void frmCtl::playKeySound() { sound_.playSound(options_.SoundReset, "S1", false); }

void frmCtl::keyPressed(int k) {
    playKeySound();
    QLabel* route = entryDisplays_[0];
    if (k == 10)
        route->clear();
    else if (route->text().size() != 5)
        route->setText(route->text() + QString::number(k));
}

void frmCtl::enterRoute(const QString& digits) { entryDisplays_[0]->setText(digits.left(5)); }

void frmCtl::switchEntryFrame(int i) {
    if (i != 0 && i != 1) return;
    hiddenEntryFrame_ = static_cast<int16_t>(i);
    entryFrames_[static_cast<size_t>(i)]->stackUnder(entryFrames_[static_cast<size_t>(1 - i)]);
}

void frmCtl::displayClear(bool on) {
    // The board is blanked before the panel's controls go out of use, and they come back
    // before the board is drawn again.
    if (on) emit displayClearRequested(true);
    for (QWidget* w : {static_cast<QWidget*>(entryFrames_[0]), static_cast<QWidget*>(entryFrames_[1]),
                       static_cast<QWidget*>(dataButtons_[0]), static_cast<QWidget*>(dataButtons_[1]),
                       static_cast<QWidget*>(scrollFrame_)})
        w->setEnabled(!on);
    tapeGroup_->setEnabled(!on && speechAvailable_);
    if (!on) emit displayClearRequested(false);
}

void frmCtl::previewToggle(bool open) {
    fitWindow();
    previewToggle_->setText(open ? QStringLiteral("<<") : QStringLiteral(">>"));
    previewToggle_->setToolTip(open ? QStringLiteral("整理券プレビューを隠します") : QStringLiteral("整理券プレビューを開きます"));
}

void frmCtl::fitWindow() {
    // Open, the window is its designed size, or larger when a plugin's ticket needs it; closed,
    // always the designed size.
    const bool open = previewToggle_->isChecked();
    const QRect preview = previewPicture_->geometry() | companyList_->geometry();
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

void frmCtl::setPreviewSize(int width, int height) {
    previewPicture_->resize(width + 2, height + 2); // the ticket inside the picture's frame
    preview_ = QImage(previewPicture_->contentsRect().size(), QImage::Format_RGB32);
    companyList_->move(geo::CompanyList.x(), std::max(geo::CompanyList.y(), previewPicture_->geometry().bottom() + 7));
    clearPreview();
    fitWindow();
}

void frmCtl::addCompanies(const QString& pluginPath) {
    RV4_SetCorpAddList(toCp932(pluginPath), companyList_);
}

void frmCtl::clearCompanies() { companyList_->clear(); }

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

void frmCtl::copyPreview() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(preview_);
}

bool frmCtl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 2; ++i) {
            if (watched == entryFrames_[static_cast<size_t>(i)]) {
                switchEntryFrame(i);
                return true;
            }
        }
    }
    if (watched == previewPicture_ && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) previewMenu_->popup(mouse->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
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

void frmCtl::releaseKeyShapes() {
    for (QPushButton* key : keys_) key->clearMask();
}

fare::RouteEntry frmCtl::readEntry(fare::EntrySource source) {
    if (source == fare::EntrySource::Keypad)
        return {entryDisplays_[0]->text().toStdString(), entryDisplays_[2]->text().toStdString()};
    auto joined = [](const auto& lists) {
        std::string text;
        for (QListWidget* l : lists)
            if (QListWidgetItem* item = l->currentItem(); item && item->isSelected()) text += item->text().toStdString();
        return text;
    };
    return {joined(routeLists_), joined(sectionLists_)};
}

void frmCtl::enableDataControls() {
    for (QPushButton* b : dataButtons_) b->setEnabled(true);
    displayClearButton_->setEnabled(true);
}

bool frmCtl::lateNight() { return lateNightBox_->isChecked(); }

int16_t frmCtl::companyIndex() { return static_cast<int16_t>(companyList_->currentIndex()); }

void frmCtl::clearPreview() {
    preview_.fill(Qt::white);
    previewPicture_->setPixmap(QPixmap::fromImage(preview_));
}

void frmCtl::drawTicket(const fare::TicketArgs& a) {
    const auto bytes = [](const std::string& utf8) { return toCp932(QString::fromStdString(utf8)); };
    {
        QPainter painter(&preview_);
        RV4_DrawSeiriken(bytes(a.pluginPath), &painter, bytes(a.stopName), bytes(a.dateText), bytes(a.timeText),
                         a.routeNumber, a.ticketNumber, a.record, a.companyIndex);
    }
    previewPicture_->setPixmap(QPixmap::fromImage(preview_));
}

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
