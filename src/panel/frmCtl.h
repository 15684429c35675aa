#pragma once
// The control panel (集中操作盤): the route entry and the ticket preview area, which are parts of
// their own that the panel lays out and passes requests to, and the rest itself: data
// forward/back, display clear, late-night fare, scroll settings, the broadcast group, options,
// version box and the exit of the program. It asks for route sets, steps, redraws, what the board
// should show and the exit through its signals; whoever wires the program carries them out.
#include "fare/EngineViews.h"
#include "options/model/OptionInfo.h"
#include "settings/SettingsRecords.h"

#include <QImage>
#include <QWidget>
#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace panel {
class RouteEntry;
class TicketPreview;
} // namespace panel

class frmCtl : public QWidget, public fare::PanelView {
    Q_OBJECT
public:
    frmCtl(const OptionInfo& options, fare::Sound& sound, QWidget* parent = nullptr);
    ~frmCtl() override;

    // Redraws the board for a 1-based record.
    void DispData(int stop) { emit dispDataRequested(stop); }
    // The backlight button that is selected: 0 OFF, 1 ON1, 2 ON2, -1 none.
    int16_t selectedBacklight() const;

    // The panel's block of the settings file; setting it fails when a scroll value is out of
    // the bar's range.
    CtrlDataInfo GetCtrlDataInfo() const;
    bool SetCtrlDataInfo(const CtrlDataInfo& info);

    // The exit's own step of the panel: the keys lose their rounded shapes.
    void releaseKeyShapes();

    // The route display as if the digits had been keyed (at most five), without the key sound.
    void enterRoute(const QString& digits);

    // Sends entry frame i (0 digit lists, 1 keypad) behind the other one.
    void switchEntryFrame(int i);
    int16_t hiddenEntryFrame() const { return hiddenEntryFrame_; }

    const QImage& previewImage() const;
    // The ticket plugin's side: the preview picture takes the ticket's size, and the company
    // list the plugin's names.
    void setPreviewSize(int width, int height);
    void addCompanies(const QString& pluginPath);
    void clearCompanies();

    // The broadcast group: whether speech can be used at all (caption and group, decided once),
    // and whether a broadcast table is loaded (its four buttons).
    bool speechAvailable() const { return speechAvailable_; }
    void setSpeechAvailable(bool available);
    void enableTapeButtons();
    void disableTapeGroup();
    // The tooltips of "送り" and "戻し": the text each would speak (empty: none), its beginning
    // only when it is long.
    void showUpcomingAnnouncements(const QString& next, const QString& back);
    enum class TapeButton { Back, Next, Stop, Adjust };

    // fare::PanelView
    fare::RouteEntry readEntry(fare::EntrySource source) override;
    void enableDataControls() override;
    bool lateNight() override;
    int16_t companyIndex() override;
    void clearPreview() override;
    void drawTicket(const fare::TicketArgs& args) override;
    void showMessage(const std::string& text) override;

signals:
    void routeSetRequested(fare::EntrySource source);
    void stepRequested(fare::StepDirection direction);
    void displayClearRequested(bool on);
    void dispDataRequested(int record);
    void optionsRequested();
    void tapeButtonPressed(frmCtl::TapeButton button);
    // The panel's load has run: the voice and the broadcast group are set up now.
    void loaded();
    // What the panel asks of the board: its caption, the stop-name scroll, being out of use
    // while the version box is open, and a backlight state (0 OFF, 1 ON1, 2 ON2).
    void boardCaptionSet(const QString& caption);
    void scrollSet(int16_t speed, int32_t startWaitMs);
    void boardUseChanged(bool enabled);
    void backlightSelected(int16_t state);
    // The operator answered yes to the exit question: the program ends now.
    void exitConfirmed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildDataButtons();
    void buildScrollFrame();
    void buildTapeGroup();
    void buildBacklightGroup();
    void buildSideButtons();
    void Form_Load();
    void displayClear(bool on);
    void previewToggle(bool open);
    // The window's size for the preview's state and size, kept on the screen when it is open.
    void fitWindow();
    void scrollChanged();
    void showVersion();
    void playKeySound();
    // The exit question; on yes, the exit itself. False on no.
    bool confirmExit();

    const OptionInfo& options_;
    fare::Sound& sound_;
    bool loaded_ = false;
    bool speechAvailable_ = false;
    int16_t hiddenEntryFrame_ = 0;
    int previewShift_ = 0; // how far the open preview moved the window left to stay on the screen

    panel::RouteEntry* entry_ = nullptr;
    panel::TicketPreview* preview_ = nullptr;
    std::array<QPushButton*, 2> dataButtons_{}; // 0 back, 1 forward
    QPushButton* displayClearButton_ = nullptr;
    QFrame* scrollFrame_ = nullptr;
    QCheckBox* lateNightBox_ = nullptr;
    std::array<QScrollBar*, 2> scrollBars_{}; // 0 speed, 1 interval
    std::array<QLabel*, 2> scrollValues_{};
    QGroupBox* backlightGroup_ = nullptr;
    std::array<QRadioButton*, 3> backlightButtons_{};
    QGroupBox* tapeGroup_ = nullptr;
    std::array<QPushButton*, 4> tapeButtons_{}; // by TapeButton
    QPushButton* previewToggle_ = nullptr;
};
