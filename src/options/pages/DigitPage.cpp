#include "options/pages/DigitPage.h"

#include "controls/M_Degit.h"
#include "options/ColorButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace optionui;

DigitPage::DigitPage(OptionPickers& pickers, QWidget* parent) : OptionPage(u"デジタル部品と情報用数字"_s, parent) {
    auto* layout = new QVBoxLayout(this);

    const QString titles[] = {u"デジタル部品の背景色と文字色（時計つきの場合はこの部分も同色となります）"_s,
                              u"整理券番号部分のデジタル部品の背景色と文字色"_s};
    const QString captions[] = {u"背景色："_s, u"未発光時の文字色："_s, u"発光時の文字色："_s};
    for (int g = 0; g < 2; ++g) {
        auto* colours = group(u"grpDegitColor_%1"_s.arg(g), titles[g]);
        auto* grid = new QGridLayout(colours);
        for (int i = 0; i < 3; ++i) {
            ColorButton* button = colours_[3 * g + i] = colourButton(u"Command8_%1"_s.arg(3 * g + i), pickers);
            // After the picker's own handler: a chosen colour shows on the preview at once.
            connect(button, &ColorButton::clicked, this, &DigitPage::updatePreviews);
            grid->addWidget(new QLabel(captions[i]), 0, 2 * i);
            grid->addWidget(button, 0, 2 * i + 1);
        }
        previews_[g] = named(new M_Degit, u"M_Degit%1"_s.arg(g + 1));
        previews_[g]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        grid->addWidget(new QLabel(u"プレビュー"_s), 0, 6);
        grid->addWidget(previews_[g], 0, 7);
        grid->setColumnStretch(8, 1);
        layout->addWidget(colours);
    }
    previews_[0]->setKeta(3);
    previews_[0]->setDegitSize(2);
    previews_[0]->setValue(qint64(100));
    previews_[1]->setKeta(2);
    previews_[1]->setDegitSize(3);
    previews_[1]->setDegitStyle(1);
    previews_[1]->setValue(qint64(12));

    auto* info = group(u"grpInfoDegit"_s, u"情報用数字の設定"_s);
    auto* infoLayout = new QVBoxLayout(info);
    const QString shows[] = {u"停留所の順番（区間・個数）を、"_s, u"整理券番号を、"_s, u"系統番号を、"_s,
                             u"データの"_s};
    for (int i = 0; i < 4; ++i) {
        show_[i] = checkBox(u"Check3_%1"_s.arg(i), shows[i]);
        cell_[i] = numberList(u"Combo4_%1"_s.arg(i), 32);
    }
    fromZero_ = checkBox(u"Check3_4"_s, u"0から数える"_s);
    column_ = numberList(u"Combo4_4"_s, 150);
    const QString inCell = u"コマ目に表示する。"_s;
    // Each line starts with its switch; the other controls of the line work only while it is on.
    const std::vector<LinePart> lines[] = {
        {show_[0], cell_[0], inCell, fromZero_},
        {show_[1], cell_[1], inCell},
        {show_[2], cell_[2], inCell},
        {show_[3], column_, u"列目の値を、"_s, cell_[3], inCell},
    };
    for (int i = 0; i < 4; ++i) {
        infoLayout->addLayout(line(lines[i]));
        for (const LinePart& part : lines[i])
            if (QWidget* const* control = std::get_if<QWidget*>(&part); control && *control != show_[i])
                enableWhile(show_[i], *control);
    }
    infoLayout->addWidget(note(u"デジタル数字の桁ずらし、ゼロ埋めの設定は各部品をダブルクリックして設定してください。"
                               u"また、これら情報用数字は運賃の表示よりも優先されます。"_s));
    layout->addWidget(info);
    layout->addStretch();
}

void DigitPage::updatePreviews() {
    for (int g = 0; g < 2; ++g) {
        previews_[g]->setBackColor(colours_[3 * g]->color());
        previews_[g]->setBaseForeColor(colours_[3 * g + 1]->color());
        previews_[g]->setDegitForeColor(colours_[3 * g + 2]->color());
    }
}

std::vector<OptionBinding> DigitPage::bindings() const {
    return {
        {&OptionInfo::FareDegitBackColor, colours_[0]},
        {&OptionInfo::FareDegitBaseForeColor, colours_[1]},
        {&OptionInfo::FareDegitForeColor, colours_[2]},
        {&OptionInfo::SeiriDegitBackColor, colours_[3]},
        {&OptionInfo::SeiriDegitBaseForeColor, colours_[4]},
        {&OptionInfo::SeiriDegitForeColor, colours_[5]},
        {&OptionInfo::InfoKukanShow, show_[0]},
        {&OptionInfo::InfoKukanPos, cell_[0]},
        {&OptionInfo::InfoKukanFromZero, fromZero_},
        {&OptionInfo::InfoSeiriShow, show_[1]},
        {&OptionInfo::InfoSeiriPos, cell_[1]},
        {&OptionInfo::InfoKeitoShow, show_[2]},
        {&OptionInfo::InfoKeitoPos, cell_[2]},
        {&OptionInfo::InfoColumnShow, show_[3]},
        {&OptionInfo::InfoColumnNo, column_},
        {&OptionInfo::InfoColumnPos, cell_[3]},
    };
}
