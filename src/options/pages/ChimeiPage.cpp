#include "options/pages/ChimeiPage.h"

#include "options/ColorButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace optionui;

ChimeiPage::ChimeiPage(OptionPickers& pickers, QWidget* parent) : OptionPage(u"停名の設定"_s, parent) {
    fonts_ = named(new QComboBox, u"Combo3"_s);
    fonts_->addItems({u"ゴシック体"_s, u"明朝体"_s, u"漢字はゴシック、それ以外は明朝"_s,
                      u"漢字は明朝、それ以外はゴシック"_s, u"英数字はゴシック、それ以外は明朝"_s});
    for (int i = 0; i < 2; ++i) colours_[i] = colourButton(u"Command9_%1"_s.arg(i), pickers);
    bold_ = checkBox(u"Check4"_s, u"太字（表示の不具合はサポート対象外）"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(line({u"背景色："_s, colours_[0], u"文字色："_s, colours_[1]}));
    layout->addLayout(line({u"フォントオプション："_s, fonts_}));
    layout->addWidget(bold_);
    layout->addStretch();
}

std::vector<OptionBinding> ChimeiPage::bindings() const {
    return {{&OptionInfo::ChimeiBackColor, colours_[0]},
            {&OptionInfo::ChimeiForeColor, colours_[1]},
            {&OptionInfo::ChimeiFontMode, fonts_},
            {&OptionInfo::ChimeiFontBold, bold_}};
}
