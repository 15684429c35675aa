#pragma once
// What the options pages share: the binding of an option field to its control, the page base
// class, and the small builders of their controls. Controls keep the names the rest of the
// program and its tests know them by ("Text2_0", "Option3_7", ...).
#include "options/model/OptionTable.h"

#include <QGroupBox>
#include <concepts>
#include <functional>
#include <variant>
#include <vector>

class ColorButton;
class OptionPickers;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

// The control that holds an option field, typed, so that reading, writing and watching it need
// no casts.
using OptionControl = std::variant<QCheckBox*, QRadioButton*, QComboBox*, ColorButton*, QLineEdit*, QLabel*>;

template <class T, class W>
concept HoldsValue = (std::same_as<T, std::string> && (std::same_as<W, QLineEdit> || std::same_as<W, QLabel>)) ||
                     (std::same_as<T, int32_t> && std::same_as<W, ColorButton>) ||
                     (std::same_as<T, int16_t> &&
                      (std::same_as<W, QCheckBox> || std::same_as<W, QRadioButton> || std::same_as<W, QComboBox>));

// One option field and its control; a control that cannot hold the member's type does not compile.
struct OptionBinding {
    template <class T, class W>
    requires HoldsValue<T, W> OptionBinding(T OptionInfo::*m, W* c) : member(m), control(c) {}

    OptionMember member;
    OptionControl control;
};

// A page of the options dialog: it builds and wires its own controls and names the fields they hold.
class OptionPage : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

    virtual std::vector<OptionBinding> bindings() const = 0;
};

// Shows a caption that wraps to the button's width: Qt's buttons draw one line only, and some
// captions here were written for narrow buttons. The caption is also the accessible name.
void setWrappedCaption(QAbstractButton* button, const QString& caption);

namespace optionui {

template <class W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* note(const QString& text);
// A text box that takes only what the settings file can hold.
QLineEdit* textBox(const QString& name);
QCheckBox* checkBox(const QString& name, const QString& caption);
QRadioButton* choice(const QString& name, const QString& caption);
QRadioButton* wrappedChoice(const QString& name, const QString& caption);
QGroupBox* group(const QString& name, const QString& title);
// A "..." button.
QToolButton* browseButton(const QString& name);
// A colour button that opens the colour picker.
ColorButton* colourButton(const QString& name, OptionPickers& pickers);
// A box with its "..." button beside it; the button puts choose()'s answer into the box unless
// it is empty (cancelled).
QHBoxLayout* pathRow(QLineEdit* box, const QString& button, std::function<QString()> choose);
// Entries "1" to "count", the first one chosen.
QComboBox* numberList(const QString& name, int count);

// A line of controls and texts, left-aligned.
using LinePart = std::variant<QWidget*, QString>;
QHBoxLayout* line(const std::vector<LinePart>& parts);

// `target` is enabled exactly while `button` is checked.
void enableWhile(QAbstractButton* button, QWidget* target);
// `target` is shown and enabled exactly while `button`'s state is `on`.
void showWhile(QAbstractButton* button, QWidget* target, bool on = true);

} // namespace optionui
