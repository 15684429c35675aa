#include "options/pages/PanelPage.h"

#include "options/ColorButton.h"
#include "options/OptionPickers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace optionui;

PanelPage::PanelPage(OptionPickers& pickers, QWidget* parent) : OptionPage(u"パネルと整理券番号表示"_s, parent) {
    auto* layout = new QVBoxLayout(this);

    // This board keeps its ticket-number labels off its face, so the switch is not offered.
    useNumbers_ = checkBox(u"Check1"_s, u"整理券番号自動表示機能を使用"_s);
    useNumbers_->hide();
    layout->addWidget(useNumbers_);
    layout->addWidget(note(u"□「整理券番号自動表示機能」は本機種では使用できません。"_s));

    auto* numbers = group(u"grpSeiriNum"_s, u"整理券番号表示設定"_s);
    numbers->hide();
    auto* numbersLayout = new QVBoxLayout(numbers);
    numbersLayout->addWidget(new QLabel(u"整理券番号のバックライトカラー(文字色)"_s));
    for (int i = 0; i < 3; ++i) numberColours_[i] = colourButton(u"Command5_%1"_s.arg(i), pickers);
    numbersLayout->addLayout(
        line({u"OFF："_s, numberColours_[0], u"ON1："_s, numberColours_[1], u"ON2："_s, numberColours_[2]}));
    styles_ = named(new QComboBox, u"Combo2"_s);
    numbersLayout->addWidget(styles_);
    zeroPad_ = checkBox(u"Check2"_s, u"数字が1桁の番号は頭に0を付け足す"_s);
    numbersLayout->addWidget(zeroPad_);
    numbersLayout->addWidget(
        note(u"※ユーザーパネルに直接番号をデザインしている場合には上記チェックをOFFにしてください。"_s));
    layout->addWidget(numbers);
    enableWhile(useNumbers_, numbers);
    AddComboItem();

    auto* panel = group(u"grpPanel"_s, u"本体パネル"_s);
    auto* panelLayout = new QVBoxLayout(panel);
    automatic_ = choice(u"Option3_0"_s, u"内蔵しているパネルを自動で割り当てる"_s);
    individual_ = choice(u"Option3_1"_s, u"個別に設定する"_s);
    panelLayout->addLayout(line({automatic_, individual_}));
    struct Caption {
        QString title;
        int builtin, user; // indexes of the two choices
    };
    const Caption captions[] = {
        {u"バックライトOFF時の画像："_s, 7, 6}, {u"ON1の画像："_s, 3, 2}, {u"ON2の画像："_s, 4, 5}};
    // The three states side by side, so that the page keeps to the dialog's height.
    auto* states = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        Image& image = images_[i];
        auto* box = group(u"grpPanelImage_%1"_s.arg(i), captions[i].title);
        auto* imageLayout = new QVBoxLayout(box);
        image.builtin = choice(u"Option3_%1"_s.arg(captions[i].builtin), u"内蔵"_s);
        image.user = choice(u"Option3_%1"_s.arg(captions[i].user), u"ユーザーパネル"_s);
        image.file = textBox(u"txtSelectPanel_%1"_s.arg(i));
        imageLayout->addWidget(image.builtin);
        imageLayout->addWidget(image.user);
        imageLayout->addLayout(pathRow(image.file, u"Command6_%1"_s.arg(i),
                                       [&pickers] { return pickers.chooseFile(PickedFile::PanelImage); }));
        states->addWidget(box);
        showWhile(automatic_, box, false);
    }
    panelLayout->addLayout(states);
    layout->addWidget(panel);
    layout->addWidget(note(
        u"※ユーザーパネルには、現在の機種に対応の画像をご使用ください。大きいパネルの場合、はみ出た部分（右・下）が"
        u"切り取られます。逆に小さいパネルの場合は左上から表示され、余白部分はグレーになりますのでご注意ください。"_s));
    layout->addStretch();
}

void PanelPage::AddComboItem() {
    // Each style's fixed text and the highest number it gives a cell.
    const std::pair<QString, int> styles[] = {
        {u"1,2,3..."_s, 32},           {u"0,1,2..."_s, 31},           {u"「なし」、1,2..."_s, 31},
        {u"「なし」、2,3..."_s, 32},   {u"「無券」、1,2..."_s, 31},   {u"「無券」、2,3..."_s, 32},
        {u"「券なし」、1,2..."_s, 31}, {u"「券なし」、2,3..."_s, 32}, {u"「券無し」、1,2..."_s, 31},
        {u"「券無し」、2,3..."_s, 32}, {u"(無地)、1,2..."_s, 31},     {u"(無地)、2,3..."_s, 32},
    };
    for (const auto& [text, highest] : styles) {
        // The number keeps a place for its sign, which a positive number leaves blank.
        QString entry = text + u' ' + QString::number(highest);
        if (styles_->count() == 0) entry += u" （既定の表示）"_s;
        styles_->addItem(entry);
    }
    styles_->setCurrentIndex(0);
}

std::vector<OptionBinding> PanelPage::bindings() const {
    return {
        {&OptionInfo::UseSeiriNumDisp, useNumbers_},
        {&OptionInfo::SeiriNumColorOff, numberColours_[0]},
        {&OptionInfo::SeiriNumColorOn1, numberColours_[1]},
        {&OptionInfo::SeiriNumColorOn2, numberColours_[2]},
        {&OptionInfo::SeiriNumStyle, styles_},
        {&OptionInfo::SeiriNumZeroPad, zeroPad_},
        {&OptionInfo::PanelAuto, automatic_},
        {&OptionInfo::PanelIndividual, individual_},
        {&OptionInfo::PanelOffBuiltin, images_[0].builtin},
        {&OptionInfo::PanelOffUser, images_[0].user},
        {&OptionInfo::PanelOn1Builtin, images_[1].builtin},
        {&OptionInfo::PanelOn1User, images_[1].user},
        {&OptionInfo::PanelOn2Builtin, images_[2].builtin},
        {&OptionInfo::PanelOn2User, images_[2].user},
        {&OptionInfo::PanelOffFile, images_[0].file},
        {&OptionInfo::PanelOn1File, images_[1].file},
        {&OptionInfo::PanelOn2File, images_[2].file},
    };
}
