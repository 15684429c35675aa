#pragma once
// The six pages of the options dialog, one class each. A page builds its controls under the names
// the rest of the program knows them by ("Text2_0", "Option3_7", ...) and runs its own enabling
// rules; the dialog reaches the option fields through those names.
#include <QGroupBox>
#include <array>

class ColorButton;
class M_Degit;
class QAbstractButton;
class QComboBox;

// Shows a caption that wraps to the button's width: Qt's buttons draw one line only, and some
// captions here were written for narrow buttons. The caption is also the accessible name.
void setWrappedCaption(QAbstractButton* button, const QString& caption);

// Page 0: the fare-data and broadcast-data folders.
class FolderPage : public QGroupBox {
    Q_OBJECT
public:
    explicit FolderPage(QWidget* parent = nullptr);
};

// Page 1: panel pictures and the ticket-number labels.
class PanelPage : public QGroupBox {
    Q_OBJECT
public:
    explicit PanelPage(QWidget* parent = nullptr);

private:
    // Fills the numbering-style list and chooses its first entry.
    void AddComboItem();

    QComboBox* styles_ = nullptr;
};

// Page 2: digit colours with their previews, and the information digits.
class DigitPage : public QGroupBox {
    Q_OBJECT
public:
    explicit DigitPage(QWidget* parent = nullptr);

    // Shows the six colour buttons' colours on the two previews.
    void updatePreviews();

private:
    std::array<M_Degit*, 2> previews_{};
    std::array<ColorButton*, 6> colours_{};
};

// Page 3: the stop-name display.
class ChimeiPage : public QGroupBox {
    Q_OBJECT
public:
    explicit ChimeiPage(QWidget* parent = nullptr);
};

// Page 4: the sounds.
class SoundPage : public QGroupBox {
    Q_OBJECT
public:
    explicit SoundPage(QWidget* parent = nullptr);
};

// Page 5: the ticket preview, its plugin and the ticket date.
class PreviewPage : public QGroupBox {
    Q_OBJECT
public:
    explicit PreviewPage(QWidget* parent = nullptr);
};
