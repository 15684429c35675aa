#include "options/pages/OptionPage.h"

#include "options/ColorButton.h"
#include "options/Cp932Validator.h"
#include "options/OptionPickers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

void setWrappedCaption(QAbstractButton* button, const QString& caption) {
    auto* label = new QLabel(caption, button);
    label->setWordWrap(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents); // a click on the text is a click on the button
    auto* layout = new QHBoxLayout(button);
    QStyleOptionButton option;
    option.initFrom(button);
    const QStyle* style = button->style();
    if (qobject_cast<QRadioButton*>(button)) {
        layout->setContentsMargins(style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, button) +
                                       style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, button),
                                   0, 0, 0);
    } else {
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, button) / 2;
        layout->setContentsMargins(margin, margin, margin, margin);
        label->setAlignment(Qt::AlignCenter);
    }
    layout->addWidget(label);
    // Buttons keep to one line's height unless told that they may grow with their text.
    QSizePolicy policy = button->sizePolicy();
    policy.setVerticalPolicy(QSizePolicy::Minimum);
    button->setSizePolicy(policy);
    button->setAccessibleName(caption);
}

namespace optionui {

QLabel* note(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLineEdit* textBox(const QString& name) {
    auto* box = named(new QLineEdit, name);
    // A stored text may hold 65,535 bytes, which can be more characters than the 32,767 that
    // a line edit keeps by default; it would cut the text at the next save.
    box->setMaxLength(0xFFFF);
    acceptOnlyCp932(box);
    return box;
}

QCheckBox* checkBox(const QString& name, const QString& caption) { return named(new QCheckBox(caption), name); }

QRadioButton* choice(const QString& name, const QString& caption) { return named(new QRadioButton(caption), name); }

QRadioButton* wrappedChoice(const QString& name, const QString& caption) {
    auto* button = named(new QRadioButton, name);
    setWrappedCaption(button, caption);
    return button;
}

QGroupBox* group(const QString& name, const QString& title) { return named(new QGroupBox(title), name); }

ColorButton* colourButton(const QString& name, OptionPickers& pickers) {
    auto* button = named(new ColorButton, name);
    QObject::connect(button, &ColorButton::clicked, button, [button, &pickers] {
        if (const auto colour = pickers.GetBtnColor(button->color())) button->setColor(*colour);
    });
    return button;
}

QToolButton* browseButton(const QString& name) {
    auto* browse = named(new QToolButton, name);
    browse->setText(u"..."_s);
    return browse;
}

QHBoxLayout* pathRow(QLineEdit* box, const QString& button, std::function<QString()> choose) {
    auto* browse = browseButton(button);
    QObject::connect(browse, &QToolButton::clicked, box, [box, choose = std::move(choose)] {
        const QString path = choose();
        if (!path.isEmpty()) box->setText(path);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    row->addWidget(browse);
    return row;
}

QComboBox* numberList(const QString& name, int count) {
    auto* list = named(new QComboBox, name);
    for (int i = 1; i <= count; ++i) list->addItem(QString::number(i));
    list->setCurrentIndex(0);
    return list;
}

QHBoxLayout* line(const std::vector<LinePart>& parts) {
    auto* row = new QHBoxLayout;
    for (const LinePart& part : parts) {
        if (const auto* text = std::get_if<QString>(&part))
            row->addWidget(new QLabel(*text));
        else
            row->addWidget(std::get<QWidget*>(part));
    }
    row->addStretch();
    return row;
}

void enableWhile(QAbstractButton* button, QWidget* target) {
    QObject::connect(button, &QAbstractButton::toggled, target, &QWidget::setEnabled);
    target->setEnabled(button->isChecked());
}

void showWhile(QAbstractButton* button, QWidget* target, bool on) {
    const auto apply = [target, on](bool checked) {
        target->setVisible(checked == on);
        target->setEnabled(checked == on);
    };
    QObject::connect(button, &QAbstractButton::toggled, target, apply);
    apply(button->isChecked());
}

} // namespace optionui
