#pragma once
// The fare board window: 32 fare cells with a small number display and a ticket-number label
// each, the clock, the stop-name display, all over the panel picture. Frameless, dragged with
// the mouse. A right click offers the scale (1x to 4x of the designed size, every element drawn
// at that resolution) and the board's picture, copied or saved.
#include "fare/EngineViews.h"
#include "options/model/OptionInfo.h"
#include "settings/SettingsRecords.h"
#include "timing/Timing.h"

#include <QPixmap>

#include <QWidget>
#include <array>
#include <memory>

class M_Degit;
class ChimeiCtl_B;
class QLabel;
class QMenu;

class Form1 : public QWidget, public fare::BoardView {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // What the board does for its own part of the start-up: the cells blanked in display
    // style 1, the built-in picture shown and copied into the two other backlight slots, and the
    // rounded shape given and drawn.
    void prepareCells();
    void copyBuiltinPicture();
    void setRoundShape();

    // The elements are found by their names: "Degit_1" … "Degit_32", "S_Degit_…", "lblSeiriNum_…"
    // (each also with a _0 that nothing writes), "TimeDegit_0" (hours) and "_1" (minutes) and
    // "ChimeiCtl". What changes them are the methods below.

    // The time the board runs on: the clock shows `clock`'s time of day and ticks, the stop name
    // scrolls and the lamp test waits on `time`. The system's until the host gives others.
    void useTime(fare::Clock& clock, timing::Source& time);
    // The clock ticks every second (it stops while the displays are cleared).
    bool clockRunning() const { return tick_->isActive(); }

    // The built-in panel pictures of the backlight states (0 OFF, 1 ON1, 2 ON2) and the shown one.
    const QPixmap& imgRes(int i) const { return imgRes_[static_cast<size_t>(i)]; }
    const QPixmap& picture() const { return picture_; }
    // The background: the built-in picture of a backlight state, or a user's picture.
    void showBuiltinPicture(int state);
    void showPicture(const QPixmap& picture);
    // Text colour of the 32 ticket-number labels, 0x00BBGGRR.
    void setTicketLabelColour(int32_t bgr);
    // The stop-name display's scroll speed and the pause before each scroll, in ms.
    void setScroll(int16_t speed, int32_t startWaitMs);

    // The display options: ticket-number labels shown or not, their numbering and the colour of
    // the backlight state (-1 none), the colours of every digit display, the stop-name display's
    // colours and font.
    void applyDisplayOptions(const OptionInfo& options, int backlightState);

    // The fare cells' format settings, for the settings file; and restoring them from it, with
    // the digit colours of the options on every digit display and the stop-name display. The
    // cells then show a blank until the next update.
    std::array<CellDigitSettings, 32> cellSettings() const;
    void restoreCells(const std::array<CellDigitSettings, 32>& cells, const OptionInfo& colours);

    // Numbers the 32 ticket-number labels in one of the twelve styles.
    void SeirikenNumSet(int16_t style, int16_t zeroPad);

    // The board's block of the settings file: its position in twips; setting it moves the board
    // there, kept within reach on the screen.
    FormInfo GetFormInfo() const;
    void SetFormInfo(const FormInfo& info);
    // The board's shape is owned by the window itself, so there is nothing left to release.
    void DeleteRgn() {}

    // Shown at 1 … 4 times the designed size, the layout magnified as a whole (others: nearest).
    int16_t Scale() const { return scale_; }
    void setScale(int16_t scale);
    static constexpr int16_t MaxScale = 4;
    // The board as it is on the screen, at the screen's resolution; to the clipboard, or saved
    // as PNG (false, with the reason, when the file could not be written).
    QImage boardImage();
    void copyPicture();
    bool savePicture(const QString& path, QString* why = nullptr);
    // The menu that a right click on the board opens.
    QMenu* contextMenu() const { return menu_; }
    // The window's title: the caption given, and while a recording runs, that it does.
    void setCaption(const QString& caption);
    void setRecording(bool recording);

    // The clock shows this time (what each tick does with the current time).
    void showTime(const QTime& time);

    // Tests shorten the lamp test's blocking wait; the program always waits 3000 ms.
    void setLampTestMs(int ms) { lampTestMs_ = ms; }

    // fare::BoardView
    void setFare(int cell, int16_t value) override;
    void setFareText(int cell, const std::string& text) override;
    void setSmall(int cell, int16_t value) override;
    void lampTest() override;
    void zeroAll() override;
    void setChimei(const std::string& name) override;
    // The stop name last given to the stop-name display.
    const std::string& shownChimei() const { return shownChimei_; }
    void clearDisplays() override;
    void restoreDisplays() override;

signals:
    // The digit settings dialog of a cell opens (true) and closes (false): the panel is out of
    // use meanwhile.
    void cellDialogOpen(bool open);
    // The operator chose a scale from the board's menu.
    void scaleChosen(int16_t scale);
    // The operator asked for a route to be added from an open-data feed.
    void openDataRequested();
    // The operator chose a video file to record the board into, or asked the recording to stop.
    void recordRequested(const QString& path);
    void recordStopRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Every element at its designed place and size, times the scale.
    void layOut();
    void showFace(const QPixmap& picture, bool builtIn);
    // The time of day of the board's clock source.
    QTime now() const;
    void buildMenu();
    void askAndSavePicture();
    void askAndRecord();
    M_Degit* fare(int cell) const;
    M_Degit* small(int cell) const;
    // The clock and the stop-name display take their colours from the options on applying them
    // and on restoring the settings alike.
    void paintClockAndStopName(const OptionInfo& options);
    void cellDoubleClicked(int i);

    // Indexed as on the board, element 0 included.
    std::array<M_Degit*, 33> degit_{};
    std::array<M_Degit*, 33> sDegit_{};
    std::array<QLabel*, 33> label_{};
    std::array<M_Degit*, 2> timeDegit_{};
    ChimeiCtl_B* chimei_ = nullptr;
    std::string shownChimei_;
    fare::Clock* clock_ = &fare::systemClock();
    timing::Source* time_ = &timing::systemTime();
    std::unique_ptr<timing::Timer> tick_;
    std::array<QPixmap, 3> imgRes_;
    QPixmap picture_;
    bool builtInFace_ = false; // the picture is the built-in face, drawn anew at each resolution
    QPixmap face_;             // the picture at the scale and the screen's resolution
    qint64 faceOf_ = 0;        // the picture and zoom face_ was made for
    qreal faceZoom_ = 0;
    int16_t scale_ = 1;
    int label1Top_ = 0;        // the first ticket label's designed top and type size, which the
    int label1PointSize_ = 17; // label style changes
    QMenu* menu_ = nullptr;
    QAction* recordStart_ = nullptr;
    QAction* recordStop_ = nullptr;
    QString caption_;
    int lampTestMs_ = 3000;
    QPoint dragOffset_; // where the manual move grabbed the window, while it is held
    bool dragging_ = false;
};
