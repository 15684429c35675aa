#include "board/Form1.h"

#include "board/BoardGeometry.h"
#include "board/PanelPicture.h"
#include "controls/ChimeiCtl_B.h"
#include "controls/M_Degit.h"
#include "fare/TicketNumbering.h"
#include "reslib/CodedError.h"
#include "reslib/ui/Bgr.h"
#include "reslib/ui/Messages.h"
#include "window/OnScreen.h"
#include "window/RoundRegion.h"

#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTime>
#include <QWindow>
#include <algorithm>
#include <new>

using namespace board;

namespace {

// Digit displays take their own mouse presses, so the board is not dragged from them.
template <class W>
W* display(QWidget* parent) {
    auto* w = new W(parent);
    w->setAttribute(Qt::WA_NoMousePropagation);
    return w;
}

M_Degit* digitDisplay(QWidget* parent, int keta, int size) {
    M_Degit* d = display<M_Degit>(parent);
    d->setDegitSize(static_cast<int16_t>(size));
    d->setKeta(static_cast<int16_t>(keta));
    return d;
}

// A digit display's three colours, in the order that each one redraws it.
void paintDigits(M_Degit* d, int32_t back, int32_t base, int32_t lit) {
    d->setBackColor(back);
    d->setBaseForeColor(base);
    d->setDegitForeColor(lit);
}

void paintFareDigits(M_Degit* d, const OptionInfo& o) {
    paintDigits(d, o.FareDegitBackColor, o.FareDegitBaseForeColor, o.FareDegitForeColor);
}

constexpr int LabelPointSize = 17;

QFont labelFont(int pointSize) {
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPointSize(pointSize);
    return f;
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(ClientSize);
    imgRes_[0] = makePanelPicture();

    for (int i = 0; i <= Cells; ++i) {
        M_Degit* fare = digitDisplay(this, FareKeta, FareDegitSize);
        fare->setObjectName(QStringLiteral("Degit_%1").arg(i));
        if (i > 0) connect(fare, &M_Degit::DblClick, this, [this, i] { cellDoubleClicked(i); });
        degit_[static_cast<size_t>(i)] = fare;

        M_Degit* small = digitDisplay(this, SmallKeta, SmallDegitSize);
        small->setObjectName(QStringLiteral("S_Degit_%1").arg(i));
        sDegit_[static_cast<size_t>(i)] = small;

        auto* label = new QLabel(i == 0 ? QStringLiteral("１") : QStringLiteral("10"), this);
        label->setObjectName(QStringLiteral("lblSeiriNum_%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        label_[static_cast<size_t>(i)] = label;
    }
    for (int i = 0; i < 2; ++i) {
        M_Degit* clock = digitDisplay(this, ClockKeta, ClockDegitSize);
        clock->setObjectName(QStringLiteral("TimeDegit_%1").arg(i));
        clock->setZeroMode(1); // midnight and the full hour show a 0
        clock->setTopMargin(ClockTopMargin);
        timeDegit_[static_cast<size_t>(i)] = clock;
    }
    timeDegit_[1]->setFillZero(2); // minutes always in two digits

    chimei_ = display<ChimeiCtl_B>(this);
    chimei_->setObjectName(QStringLiteral("ChimeiCtl"));
    label1Top_ = labelPos(1).y();
    layOut();
    buildMenu();

    useTime(*clock_, *time_);
}

void Form1::useTime(fare::Clock& clock, timing::Source& time) {
    const bool ticking = !tick_ || tick_->isActive();
    clock_ = &clock;
    time_ = &time;
    chimei_->setTimeSource(time);
    tick_ = time.timer([this] {
        tick_->start(std::chrono::seconds(1));
        showTime(now());
    });
    if (ticking) tick_->start(std::chrono::seconds(1));
}

QTime Form1::now() const {
    const fare::LocalTime t = clock_->now();
    return {t.hour, t.minute, t.second};
}

Form1::~Form1() = default;

void Form1::layOut() {
    const int s = scale_;
    setFixedSize(ClientSize * s);
    for (int i = 0; i <= Cells; ++i) {
        fare(i)->setScale(scale_);
        fare(i)->move(farePos(i) * s);
        small(i)->setScale(scale_);
        small(i)->move(smallPos(i) * s);
        const bool first = i == 1;
        QLabel* label = label_[static_cast<size_t>(i)];
        label->setGeometry(QRect(QPoint(labelPos(i).x(), first ? label1Top_ : labelPos(i).y()) * s, LabelSize * s));
        label->setFont(labelFont((first ? label1PointSize_ : LabelPointSize) * s));
    }
    for (size_t i = 0; i < timeDegit_.size(); ++i) {
        timeDegit_[i]->setScale(scale_);
        timeDegit_[i]->move(ClockPos[i] * s);
    }
    chimei_->setScale(scale_);
    chimei_->move(ChimeiRect.topLeft() * s);
    if (!mask().isEmpty()) setRoundShape();
    update();
}

void Form1::setScale(int16_t scale) {
    scale = std::clamp<int16_t>(scale, 1, MaxScale);
    if (scale == scale_) return;
    scale_ = scale;
    layOut();
    for (QAction* a : menu_->actions())
        if (a->data().toInt() == scale_) a->setChecked(true);
}

void Form1::buildMenu() {
    menu_ = new QMenu(this);
    auto* sizes = new QActionGroup(menu_);
    for (int16_t s = 1; s <= MaxScale; ++s) {
        QAction* a = menu_->addAction(
            QStringLiteral("%1 倍で表示 (%2 × %3)").arg(s).arg(ClientSize.width() * s).arg(ClientSize.height() * s));
        a->setObjectName(QStringLiteral("actScale_%1").arg(s));
        a->setCheckable(true);
        a->setChecked(s == scale_);
        a->setData(s);
        sizes->addAction(a);
        connect(a, &QAction::triggered, this, [this, s] {
            setScale(s);
            emit scaleChosen(s);
        });
    }
    menu_->addSeparator();
    QAction* copy = menu_->addAction(QStringLiteral("画像をクリップボードにコピー"));
    copy->setObjectName(QStringLiteral("actCopyPicture"));
    connect(copy, &QAction::triggered, this, &Form1::copyPicture);
    QAction* save = menu_->addAction(QStringLiteral("画像を PNG で保存..."));
    save->setObjectName(QStringLiteral("actSavePicture"));
    connect(save, &QAction::triggered, this, &Form1::askAndSavePicture);
    recordStart_ = menu_->addAction(QStringLiteral("録画を開始..."));
    recordStart_->setObjectName(QStringLiteral("actRecordStart"));
    connect(recordStart_, &QAction::triggered, this, &Form1::askAndRecord);
    recordStop_ = menu_->addAction(QStringLiteral("録画を停止"));
    recordStop_->setObjectName(QStringLiteral("actRecordStop"));
    recordStop_->setEnabled(false);
    connect(recordStop_, &QAction::triggered, this, &Form1::recordStopRequested);
    menu_->addSeparator();
    QAction* openData = menu_->addAction(QStringLiteral("オープンデータから系統を追加..."));
    openData->setObjectName(QStringLiteral("actOpenData"));
    connect(openData, &QAction::triggered, this, &Form1::openDataRequested);
}

void Form1::contextMenuEvent(QContextMenuEvent* event) { menu_->exec(event->globalPos()); }

QImage Form1::boardImage() { return grab().toImage(); }

void Form1::copyPicture() { QGuiApplication::clipboard()->setImage(boardImage()); }

bool Form1::savePicture(const QString& path, QString* why) {
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) && boardImage().save(&file, "PNG") && file.commit();
    if (!saved && why) *why = file.errorString();
    return saved;
}

void Form1::askAndSavePicture() {
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
            .filePath(QDateTime::currentDateTime().toString(QStringLiteral("'ferio-'yyyyMMdd-hhmmss'.png'")));
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("運賃表示器の画像を保存"), suggested,
                                                QStringLiteral("PNG 画像 (*.png)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
    if (QString why; !savePicture(path, &why))
        msg::info(this, QStringLiteral("画像を保存できません：%1\r\n%2").arg(QDir::toNativeSeparators(path), why));
}

void Form1::askAndRecord() {
    const QString mp4 = QStringLiteral("MP4 動画 (*.mp4)"), mkv = QStringLiteral("Matroska 動画 (*.mkv)");
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation))
            .filePath(QDateTime::currentDateTime().toString(QStringLiteral("'ferio-'yyyyMMdd-hhmmss'.mp4'")));
    QString filter = mp4;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("運賃表示器の録画"), suggested,
                                                mp4 + QStringLiteral(";;") + mkv, &filter);
    if (path.isEmpty()) return;
    const QString extension = filter == mkv ? QStringLiteral(".mkv") : QStringLiteral(".mp4");
    if (!path.endsWith(QStringLiteral(".mp4"), Qt::CaseInsensitive) &&
        !path.endsWith(QStringLiteral(".mkv"), Qt::CaseInsensitive))
        path += extension;
    emit recordRequested(path);
}

void Form1::setCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(recordStop_->isEnabled() ? caption_ + QStringLiteral("（録画中）") : caption_);
}

void Form1::setRecording(bool recording) {
    recordStart_->setEnabled(!recording);
    recordStop_->setEnabled(recording);
    setCaption(caption_);
}

void Form1::prepareCells() {
    for (int i = 1; i <= Cells; ++i) {
        for (M_Degit* d : {fare(i), small(i)}) {
            d->setDegitStyle(1);
            d->ResetDegit(false);
        }
    }
}

void Form1::copyBuiltinPicture() {
    showFace(imgRes_[0], true);
    imgRes_[1] = imgRes_[0];
    imgRes_[2] = imgRes_[0];
}

void Form1::setRoundShape() {
    // The designed shape, magnified with the rest.
    setMask(QTransform::fromScale(scale_, scale_).map(window::roundRectRegion(QRect(QPoint(0, 0), ClientSize))));
    update();
}

void Form1::showFace(const QPixmap& picture, bool builtIn) {
    picture_ = picture;
    builtInFace_ = builtIn;
    update();
}

void Form1::showPicture(const QPixmap& picture) { showFace(picture, false); }

void Form1::showBuiltinPicture(int state) { showFace(imgRes(state), true); }

void Form1::setTicketLabelColour(int32_t bgr) {
    for (int i = 1; i <= Cells; ++i) {
        QLabel* l = label_[static_cast<size_t>(i)];
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, fromBgr(bgr));
        l->setPalette(pal);
    }
}

void Form1::applyDisplayOptions(const OptionInfo& o, int backlightState) {
    for (int i = 1; i <= Cells; ++i) label_[static_cast<size_t>(i)]->setVisible(o.UseSeiriNumDisp != 0);
    SeirikenNumSet(o.SeiriNumStyle, o.SeiriNumZeroPad);
    const int32_t labelColours[3] = {o.SeiriNumColorOff, o.SeiriNumColorOn1, o.SeiriNumColorOn2};
    setTicketLabelColour(backlightState >= 0 && backlightState < 3 ? labelColours[backlightState] : 0);
    for (int i = 1; i <= Cells; ++i) {
        paintFareDigits(fare(i), o);
        paintDigits(small(i), o.SeiriDegitBackColor, o.SeiriDegitBaseForeColor, o.SeiriDegitForeColor);
    }
    paintClockAndStopName(o);
    chimei_->setFontMode(o.ChimeiFontMode);
    chimei_->setFontBold(o.ChimeiFontBold == 1);
}

std::array<CellDigitSettings, 32> Form1::cellSettings() const {
    std::array<CellDigitSettings, 32> cells;
    for (int i = 1; i <= Cells; ++i)
        cells[static_cast<size_t>(i - 1)] = {fare(i)->Shift(), fare(i)->ZeroMode(), fare(i)->FillZero()};
    return cells;
}

void Form1::restoreCells(const std::array<CellDigitSettings, 32>& cells, const OptionInfo& o) {
    for (int i = 1; i <= Cells; ++i) {
        M_Degit* d = fare(i);
        const CellDigitSettings& c = cells[static_cast<size_t>(i - 1)];
        d->setZeroMode(c.ZeroMode);
        d->setShift(c.Shift);
        d->setFillZero(c.FillZero);
        paintFareDigits(d, o);
        d->setValue(QStringLiteral(" "));
    }
    paintClockAndStopName(o);
}

void Form1::paintClockAndStopName(const OptionInfo& o) {
    // The clock has no colours of its own: it always follows the fare digits.
    for (M_Degit* clock : timeDegit_) paintFareDigits(clock, o);
    chimei_->setBackColor(o.ChimeiBackColor);
    chimei_->setForeColor(o.ChimeiForeColor);
}

void Form1::setScroll(int16_t speed, int32_t startWaitMs) {
    chimei_->setSpeed(speed);
    chimei_->setScrollStartWait(startWaitMs);
}

void Form1::SeirikenNumSet(int16_t style, int16_t zeroPad) {
    try {
        const fare::TicketLabels labels = fare::ticketLabels(style, zeroPad);
        label1PointSize_ = labels.label1PointSize;
        label1Top_ = labels.label1Top;
        layOut();
        for (int k = 1; k <= Cells; ++k) {
            if (const auto& caption = labels.captions[static_cast<size_t>(k - 1)])
                label_[static_cast<size_t>(k)]->setText(QString::fromStdString(*caption));
        }
    } catch (const std::exception& e) {
        const CodedError error = dynamic_cast<const std::bad_alloc*>(&e)
                                     ? codedError(ErrorCode::OutOfMemory)
                                     : CodedError{static_cast<int>(ErrorCode::Internal), e.what()};
        const QString text =
            QStringLiteral("エラーです！\r\n\r\nコード：%1\r\n\r\n内容：%2\r\n\r\nモジュール：IniIO-SeirikenNumSet( )")
                .arg(error.code)
                .arg(QString::fromStdString(error.text));
        msg::show(this, {QStringLiteral("エラー！"), text, QMessageBox::Critical});
    }
}

FormInfo Form1::GetFormInfo() const { return {twips(x()), twips(y())}; }

void Form1::SetFormInfo(const FormInfo& info) {
    move(px(info.BoardLeft), px(info.BoardTop));
    window::keepOnScreen(*this);
}

void Form1::showTime(const QTime& time) {
    const QString text = time.toString(QStringLiteral("hh:mm:ss"));
    timeDegit_[0]->setValue(qint64(text.mid(0, 2).toInt()));
    timeDegit_[1]->setValue(qint64(text.mid(3, 2).toInt()));
}

M_Degit* Form1::fare(int cell) const { return degit_[static_cast<size_t>(cell)]; }
M_Degit* Form1::small(int cell) const { return sDegit_[static_cast<size_t>(cell)]; }

void Form1::setFare(int cell, int16_t value) { fare(cell)->setValue(qint64(value)); }

void Form1::setFareText(int cell, const std::string& text) { fare(cell)->setValue(QString::fromStdString(text)); }

void Form1::setSmall(int cell, int16_t value) { small(cell)->setValue(qint64(value)); }

void Form1::lampTest() {
    for (int i = 1; i <= Cells; ++i) {
        fare(i)->ResetDegit(true);
        small(i)->ResetDegit(true);
    }
    QCoreApplication::processEvents();
    repaint();
    // The lamp test holds the whole program: no input, clock or scroll while it is lit.
    time_->sleep(std::chrono::milliseconds(lampTestMs_));
}

void Form1::zeroAll() {
    for (int i = 1; i <= Cells; ++i) {
        fare(i)->setValue(qint64(0));
        small(i)->setValue(qint64(0));
    }
}

void Form1::setChimei(const std::string& name) {
    shownChimei_ = name;
    chimei_->SetChimei(QString::fromStdString(name));
}

void Form1::clearDisplays() {
    setChimei("");
    for (int i = 1; i <= Cells; ++i) {
        fare(i)->ResetDegit(false);
        small(i)->ResetDegit(false);
    }
    tick_->stop();
    // Blank, not an empty value: the clock's zero mode shows an empty value as 0.
    for (M_Degit* clock : timeDegit_) clock->ResetDegit(false);
}

void Form1::restoreDisplays() {
    if (timeDegit_[0]->isHidden()) return;
    // The time at once, not only at the next tick up to a second later.
    showTime(now());
    tick_->start(std::chrono::seconds(1));
}

void Form1::cellDoubleClicked(int i) {
    M_Degit* cell = fare(i);
    if (!cell->UserSet()) return;
    emit cellDialogOpen(true);
    if (cell->ShowSetDlg() == 1) {
        const int16_t zeroMode = cell->ZeroMode();
        const int16_t shift = cell->Shift();
        const int16_t fillZero = cell->FillZero();
        for (int k = 1; k <= Cells; ++k) {
            M_Degit* d = fare(k);
            const DegitValue kept = d->Value();
            d->setShift(shift);
            d->setFillZero(fillZero);
            d->setZeroMode(zeroMode);
            d->setValue(kept);
        }
    }
    emit cellDialogOpen(false);
}

void Form1::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF(), zoom = scale_ * ratio;
    if (faceOf_ != picture_.cacheKey() || faceZoom_ != zoom) {
        // The built-in face is drawn at the resolution; a user's picture is magnified smoothly.
        face_ = builtInFace_ ? makePanelPicture(zoom)
                : zoom == 1  ? picture_
                             : picture_.scaled((QSizeF(picture_.size()) * zoom).toSize(), Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation);
        face_.setDevicePixelRatio(ratio);
        faceOf_ = picture_.cacheKey();
        faceZoom_ = zoom;
    }
    QPainter p(this);
    p.drawPixmap(0, 0, face_);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    // Ask the window system to move the board as if its caption were held; where it cannot,
    // the board follows the mouse itself.
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) move(event->globalPosition().toPoint() - dragOffset_);
}

void Form1::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void Form1::closeEvent(QCloseEvent* event) {
    // The board has no close control: the program ends from the control panel only.
    event->ignore();
}
