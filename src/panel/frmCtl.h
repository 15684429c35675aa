#pragma once
// The control panel (集中操作盤): route entry by keypad or digit lists, the two reset buttons,
// data forward/back, display clear, late-night fare, scroll settings, the broadcast group,
// options, version box, the ticket preview area, and the exit of the program.
#include "FareEngine.h"
#include "FareHost.h"
#include "OptionInfo.h"

#include <QImage>
#include <QWidget>
#include <array>

class Form1;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;

// The panel's block of the settings record.
struct CtrlDataInfo {
    int16_t HiddenEntryFrame = 0;
    int32_t ScrollSpeed = 1;
    int32_t ScrollInterval = 0;
    int16_t LateNightFare = 0;
    int16_t PreviewOpen = 0;
    int32_t PanelLeft = 0; // twips
    int32_t PanelTop = 0;
};

class frmCtl : public QWidget, public fare::PanelView {
    Q_OBJECT
public:
    // Window widths with the preview area closed and open, in twips.
    static constexpr int ClosedWidthTwips = 5385;
    static constexpr int OpenWidthTwips = 9000;
    static constexpr int ClientWidthTwips = 5295;
    static constexpr int ClientHeightTwips = 2595;

    frmCtl(Form1& board, OptionInfo& options, fare::Services& services, QWidget* parent = nullptr);
    ~frmCtl() override;

    // Redraws the board for a 1-based record.
    void DispData(int stop) { engine_.dispData(stop); }
    // Applies backlight state 0 OFF, 1 ON1, 2 ON2: panel picture and ticket-number colour.
    void Option4_Click(int16_t index);

    CtrlDataInfo ctrlDataInfo;
    void GetCtrlDataInfo();
    // Applies ctrlDataInfo; false when a scroll value is out of the bar's range.
    bool SetCtrlDataInfo();

    // Sends entry frame i (0 digit lists, 1 keypad) behind the other one.
    void switchEntryFrame(int i);
    int16_t hiddenEntryFrame() const { return hiddenEntryFrame_; }

    const fare::FareEngine& engine() const { return engine_; }
    const QImage& previewImage() const { return preview_; }
    bool speechAvailable() const { return speechAvailable_; }

    // fare::PanelView
    fare::RouteEntry readEntry(int button) override;
    void enableDataControls() override;
    bool lateNight() override;
    int16_t companyIndex() override;
    void clearPreview() override;
    void drawTicket(const fare::TicketArgs& args) override;
    void showMessage(const std::string& text) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildKeypadFrame();
    void buildListFrame();
    void buildRightSide();
    void Form_Load();
    void keyPressed(int k);
    void displayClear(bool on);
    void previewToggle(bool open);
    void scrollChanged();
    void showVersion();
    void copyPreview();
    void playKeySound();
    // The exit question; on yes, the exit steps and the end of the process. False on no.
    bool confirmExit();

    Form1& board_;
    OptionInfo& options_;
    fare::Services& services_;
    fare::FareEngine engine_;
    bool loaded_ = false;
    bool speechAvailable_ = false;
    int16_t hiddenEntryFrame_ = 0;

    std::array<QFrame*, 2> frame1_{};
    std::array<QPushButton*, 12> keys_{};
    std::array<QLabel*, 3> label2_{};
    std::array<QPushButton*, 2> command1_{};
    std::array<QListWidget*, 5> list2_{};
    std::array<QListWidget*, 3> list3_{};
    std::array<QPushButton*, 2> command2_{};
    QPushButton* check1_ = nullptr;
    QFrame* frame6_ = nullptr;
    QCheckBox* check2_ = nullptr;
    std::array<QScrollBar*, 2> hscroll1_{};
    std::array<QLabel*, 2> label1_{};
    QGroupBox* frame2_ = nullptr;
    std::array<QRadioButton*, 3> option4_{};
    QGroupBox* grpM_Tape_ = nullptr;
    QPushButton* check4_ = nullptr;
    QLabel* picSeirikenPrev_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QMenu* mnuHide_ = nullptr;
    QImage preview_;
};
