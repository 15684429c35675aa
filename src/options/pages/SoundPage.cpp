#include "options/pages/SoundPage.h"

#include "options/OptionPickers.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace optionui;

struct SoundPage::GroupTexts {
    QString name, title;
    int always;      // Option2 index of "always"; the next index chooses by the data
    int alwaysSound; // txtSelectSound index of the "always" sound
    QString byData;
    int firstCase; // txtSelectSound index of case 「1」; 「2」 and 「3」 follow
    QString play;  // name of the play-mode choices, indexes 0 (synchronous) and 1
    QString sync, async;
};

// A sound box named by its index, with its "..." button.
QHBoxLayout* SoundPage::soundRow(QLineEdit*& box, int index) {
    box = textBox(u"txtSelectSound_%1"_s.arg(index));
    return pathRow(box, u"cmdSelectSound_%1"_s.arg(index), [this] { return pickers_.chooseFile(PickedFile::Sound); });
}

QGroupBox* SoundPage::makeGroup(Group& g, const GroupTexts& t, QLayout* dataSource) {
    auto* box = group(t.name, t.title);
    auto* layout = new QVBoxLayout(box);
    auto* always = soundRow(g.alwaysSound, t.alwaysSound);
    g.always = choice(u"Option2_%1"_s.arg(t.always), u"常に右記のサウンドを鳴らす"_s);
    always->insertWidget(0, g.always);
    layout->addLayout(always);
    g.byData = wrappedChoice(u"Option2_%1"_s.arg(t.always + 1), t.byData);
    layout->addWidget(g.byData);
    if (dataSource) layout->addLayout(dataSource);
    // The three sounds, and beside them how a sound is played, to keep the page to the dialog's height.
    auto* cases = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* row = soundRow(g.cases[i], t.firstCase + i);
        row->insertWidget(0, new QLabel(u"「%1」の場合"_s.arg(i + 1)));
        cases->addLayout(row);
    }
    auto* play = group(t.name + u"Play"_s, u"再生方法"_s);
    auto* playLayout = new QVBoxLayout(play);
    g.sync = wrappedChoice(t.play + u"_0"_s, t.sync);
    g.async = wrappedChoice(t.play + u"_1"_s, t.async);
    playLayout->addWidget(g.sync);
    playLayout->addWidget(g.async);
    auto* lower = new QHBoxLayout;
    lower->addLayout(cases, 3);
    lower->addWidget(play, 2);
    layout->addLayout(lower);
    return box;
}

SoundPage::SoundPage(OptionPickers& pickers, QWidget* parent)
    : OptionPage(u"サウンド（鳴らさなくてもいい項目にはファイル名を入れないで下さい）"_s, parent),
      pickers_(pickers) {
    auto* layout = new QVBoxLayout(this);
    auto* keito = soundRow(keitoSet_, 0);
    keito->insertWidget(0, new QLabel(u"系統設定時のサウンド："_s));
    layout->addLayout(keito);
    auto* reset = soundRow(reset_, 1);
    reset->insertWidget(0, new QLabel(u"リセット時のサウンド："_s));
    layout->addLayout(reset);

    stepColumn_ = numberList(u"Combo1"_s, 150);
    auto* step = makeGroup(step_,
                           {u"grpStepSound"_s, u"送り・戻し時のサウンド"_s, 0, 7,
                            u"運賃データ(*.hy3)の特定の列のデータから判断して、以下の指定したサウンドを鳴らす"
                            u"（指定した列のデータの内容が1～3以外の場合はサウンドは鳴りません）"_s,
                            8, u"Option6"_s, u"同期再生(サウンドが完全に再生された後で運賃切り替え)"_s,
                            u"非同期再生(サウンドを再生しながら運賃切り替え)"_s},
                           line({u"運賃データの"_s, stepColumn_, u"列目"_s, u"のデータが、"_s}));
    auto* preTape =
        makeGroup(preTape_,
                  {u"grpPreTapeSound"_s,
                   u"放送前のサウンド：※音声合成放送機能が有効でない場合は以下の設定は意味を持ちません。"_s, 2, 3,
                   u"放送データ(*.Tp.csv)内のフラグから判断して、以下の指定したサウンドを鳴らす"
                   u"（フラグの内容が1～3以外の場合はサウンドは鳴りません）"_s,
                   4, u"Option7"_s, u"同期再生(サウンドが完全に再生された後で放送開始)"_s,
                   u"非同期再生(サウンドを再生しながら放送開始)"_s},
                  nullptr);
    preTape->layout()->addWidget(note(
        u"「放送前のサウンド」再生時は、停名のスクロールが停止することがありますので、あらかじめご了承ください。"_s));

    // Two push-button choices bring one of the overlapping groups to the front.
    auto* groups = named(new QStackedWidget, u"stkSoundGroup"_s);
    auto* choices = new QButtonGroup(this);
    auto* buttons = new QHBoxLayout;
    const QString captions[] = {u"送り・戻し時のサウンド..."_s, u"放送前のサウンド..."_s};
    for (QGroupBox* box : {step, preTape}) {
        const int i = groups->addWidget(box);
        auto* button = named(new QPushButton(captions[i]), u"optSoundGroup_%1"_s.arg(i));
        button->setCheckable(true);
        choices->addButton(button, i);
        buttons->addWidget(button);
    }
    choices->button(0)->setChecked(true);
    connect(choices, &QButtonGroup::idClicked, groups, &QStackedWidget::setCurrentIndex);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(groups);
    layout->addStretch();
}

std::vector<OptionBinding> SoundPage::bindings() const {
    return {
        {&OptionInfo::SoundKeitoSet, keitoSet_},
        {&OptionInfo::SoundReset, reset_},
        {&OptionInfo::StepSoundAlways, step_.always},
        {&OptionInfo::StepSoundByColumn, step_.byData},
        {&OptionInfo::StepSoundSync, step_.sync},
        {&OptionInfo::StepSoundAsync, step_.async},
        {&OptionInfo::StepSoundFile, step_.alwaysSound},
        {&OptionInfo::StepSoundColumn, stepColumn_},
        {&OptionInfo::StepSoundFile1, step_.cases[0]},
        {&OptionInfo::StepSoundFile2, step_.cases[1]},
        {&OptionInfo::StepSoundFile3, step_.cases[2]},
        {&OptionInfo::PreTapeSoundAlways, preTape_.always},
        {&OptionInfo::PreTapeSoundByFlag, preTape_.byData},
        {&OptionInfo::PreTapeSoundSync, preTape_.sync},
        {&OptionInfo::PreTapeSoundAsync, preTape_.async},
        {&OptionInfo::PreTapeSoundFile, preTape_.alwaysSound},
        {&OptionInfo::PreTapeSoundFile1, preTape_.cases[0]},
        {&OptionInfo::PreTapeSoundFile2, preTape_.cases[1]},
        {&OptionInfo::PreTapeSoundFile3, preTape_.cases[2]},
    };
}
