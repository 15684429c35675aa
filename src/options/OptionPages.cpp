#include "options/OptionPages.h"

#include "controls/M_Degit.h"
#include "options/ColorButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <variant>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

template <class W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* note(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLineEdit* textBox(const QString& name) { return named(new QLineEdit, name); }

QCheckBox* checkBox(const QString& name, const QString& caption) { return named(new QCheckBox(caption), name); }

QRadioButton* choice(const QString& name, const QString& caption) { return named(new QRadioButton(caption), name); }

ColorButton* colourButton(const QString& name) { return named(new ColorButton, name); }

QGroupBox* group(const QString& name, const QString& title) { return named(new QGroupBox(title), name); }

// A box with its "..." button beside it.
QHBoxLayout* pathRow(QLineEdit* box, const QString& button) {
    auto* browse = named(new QToolButton, button);
    browse->setText(u"..."_s);
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    row->addWidget(browse);
    return row;
}

// Entries "1" to "count", the first one chosen.
QComboBox* numberList(const QString& name, int count) {
    auto* list = named(new QComboBox, name);
    for (int i = 1; i <= count; ++i) list->addItem(QString::number(i));
    list->setCurrentIndex(0);
    return list;
}

// A line of controls and texts, left-aligned.
using LinePart = std::variant<QWidget*, QString>;
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

// `target` is shown and enabled exactly while `button`'s state is `on`.
void showWhile(QAbstractButton* button, QWidget* target, bool on = true) {
    const auto apply = [target, on](bool checked) {
        target->setVisible(checked == on);
        target->setEnabled(checked == on);
    };
    QObject::connect(button, &QAbstractButton::toggled, target, apply);
    apply(button->isChecked());
}

} // namespace

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

FolderPage::FolderPage(QWidget* parent) : QGroupBox(u"運賃データと放送用データ"_s, parent) {
    const std::pair<QString, QString> folders[] = {
        {u"運賃データ(*.hy3)のあるフォルダー："_s, u"上記運賃データの場所をエクスプローラで開く"_s},
        {u"放送用データ(*****Tp.csv)のあるフォルダー："_s, u"上記放送用データの場所をエクスプローラで開く"_s},
    };
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 2; ++i) {
        auto* box = textBox(u"Text2_%1"_s.arg(i));
        auto* open = named(new QPushButton(folders[i].second), u"cmdOpenFolder_%1"_s.arg(i));
        // The desktop's file manager shows the folder; a folder that is not there is no error.
        connect(open, &QPushButton::clicked, box, [box] { QDesktopServices::openUrl(QUrl::fromLocalFile(box->text())); });
        layout->addWidget(new QLabel(folders[i].first));
        layout->addLayout(pathRow(box, u"Command3_%1"_s.arg(i)));
        layout->addWidget(open, 0, Qt::AlignRight);
    }
    layout->addStretch();
}

PanelPage::PanelPage(QWidget* parent) : QGroupBox(u"パネルと整理券番号表示"_s, parent) {
    auto* layout = new QVBoxLayout(this);

    // This board keeps its ticket-number labels off its face, so the switch is not offered.
    auto* useNumbers = checkBox(u"Check1"_s, u"整理券番号自動表示機能を使用"_s);
    useNumbers->hide();
    layout->addWidget(useNumbers);
    layout->addWidget(note(u"□「整理券番号自動表示機能」は本機種では使用できません。"_s));

    auto* numbers = group(u"grpSeiriNum"_s, u"整理券番号表示設定"_s);
    numbers->hide();
    auto* numbersLayout = new QVBoxLayout(numbers);
    numbersLayout->addWidget(new QLabel(u"整理券番号のバックライトカラー(文字色)"_s));
    numbersLayout->addLayout(line({u"OFF："_s, colourButton(u"Command5_0"_s), u"ON1："_s, colourButton(u"Command5_1"_s),
                                   u"ON2："_s, colourButton(u"Command5_2"_s)}));
    styles_ = named(new QComboBox, u"Combo2"_s);
    numbersLayout->addWidget(styles_);
    numbersLayout->addWidget(checkBox(u"Check2"_s, u"数字が1桁の番号は頭に0を付け足す"_s));
    numbersLayout->addWidget(note(u"※ユーザーパネルに直接番号をデザインしている場合には上記チェックをOFFにしてください。"_s));
    layout->addWidget(numbers);
    enableWhile(useNumbers, numbers);
    AddComboItem();

    auto* panel = group(u"grpPanel"_s, u"本体パネル"_s);
    auto* panelLayout = new QVBoxLayout(panel);
    auto* automatic = choice(u"Option3_0"_s, u"内蔵しているパネルを自動で割り当てる"_s);
    panelLayout->addWidget(automatic);
    panelLayout->addWidget(choice(u"Option3_1"_s, u"個別に設定する"_s));
    struct Image {
        QString caption;
        int builtin, user; // indexes of the two choices
    };
    const Image images[] = {{u"バックライトOFF時の画像："_s, 7, 6}, {u"ON1の画像："_s, 3, 2}, {u"ON2の画像："_s, 4, 5}};
    for (int i = 0; i < 3; ++i) {
        auto* image = group(u"grpPanelImage_%1"_s.arg(i), images[i].caption);
        auto* imageLayout = new QVBoxLayout(image);
        imageLayout->addLayout(line({choice(u"Option3_%1"_s.arg(images[i].builtin), u"内蔵"_s),
                                     choice(u"Option3_%1"_s.arg(images[i].user), u"ユーザーパネル"_s)}));
        imageLayout->addLayout(pathRow(textBox(u"txtSelectPanel_%1"_s.arg(i)), u"Command6_%1"_s.arg(i)));
        panelLayout->addWidget(image);
        showWhile(automatic, image, false);
    }
    layout->addWidget(panel);
    layout->addWidget(note(u"※ユーザーパネルには、現在の機種に対応の画像をご使用ください。大きいパネルの場合、はみ出た部分（右・下）が"
                           u"切り取られます。逆に小さいパネルの場合は左上から表示され、余白部分はグレーになりますのでご注意ください。"_s));
    layout->addStretch();
}

void PanelPage::AddComboItem() {
    // Each style's fixed text and the highest number it gives a cell.
    const std::pair<QString, int> styles[] = {
        {u"1,2,3..."_s, 32},          {u"0,1,2..."_s, 31},          {u"「なし」、1,2..."_s, 31},
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

DigitPage::DigitPage(QWidget* parent) : QGroupBox(u"デジタル部品と情報用数字"_s, parent) {
    auto* layout = new QVBoxLayout(this);

    const QString titles[] = {u"デジタル部品の背景色と文字色（時計つきの場合はこの部分も同色となります）"_s,
                              u"整理券番号部分のデジタル部品の背景色と文字色"_s};
    const QString captions[] = {u"背景色："_s, u"未発光時の文字色："_s, u"発光時の文字色："_s};
    for (int g = 0; g < 2; ++g) {
        auto* colours = group(u"grpDegitColor_%1"_s.arg(g), titles[g]);
        auto* grid = new QGridLayout(colours);
        for (int i = 0; i < 3; ++i) {
            colours_[3 * g + i] = colourButton(u"Command8_%1"_s.arg(3 * g + i));
            grid->addWidget(new QLabel(captions[i]), 0, 2 * i);
            grid->addWidget(colours_[3 * g + i], 0, 2 * i + 1);
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
    const auto cellList = [](int i) { return numberList(u"Combo4_%1"_s.arg(i), 32); };
    const auto lineSwitch = [](int i, const QString& caption) { return checkBox(u"Check3_%1"_s.arg(i), caption); };
    const QString inCell = u"コマ目に表示する。"_s;
    // Each line starts with its switch; the other controls of the line work only while it is on.
    const std::vector<LinePart> lines[] = {
        {lineSwitch(0, u"停留所の順番（区間・個数）を、"_s), cellList(0), inCell, checkBox(u"Check3_4"_s, u"0から数える"_s)},
        {lineSwitch(1, u"整理券番号を、"_s), cellList(1), inCell},
        {lineSwitch(2, u"系統番号を、"_s), cellList(2), inCell},
        {lineSwitch(3, u"データの"_s), numberList(u"Combo4_4"_s, 150), u"列目の値を、"_s, cellList(3), inCell},
    };
    for (const std::vector<LinePart>& parts : lines) {
        infoLayout->addLayout(line(parts));
        auto* show = static_cast<QCheckBox*>(std::get<QWidget*>(parts.front()));
        for (auto part = parts.begin() + 1; part != parts.end(); ++part)
            if (QWidget* const* control = std::get_if<QWidget*>(&*part)) enableWhile(show, *control);
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

ChimeiPage::ChimeiPage(QWidget* parent) : QGroupBox(u"停名の設定"_s, parent) {
    auto* fonts = named(new QComboBox, u"Combo3"_s);
    fonts->addItems({u"ゴシック体"_s, u"明朝体"_s, u"漢字はゴシック、それ以外は明朝"_s, u"漢字は明朝、それ以外はゴシック"_s,
                     u"英数字はゴシック、それ以外は明朝"_s});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(line({u"背景色："_s, colourButton(u"Command9_0"_s), u"文字色："_s, colourButton(u"Command9_1"_s)}));
    layout->addLayout(line({u"フォントオプション："_s, fonts}));
    layout->addWidget(checkBox(u"Check4"_s, u"太字（表示の不具合はサポート対象外）"_s));
    layout->addStretch();
}

namespace {

// A sound box with its "..." button.
QHBoxLayout* soundRow(int i) { return pathRow(textBox(u"txtSelectSound_%1"_s.arg(i)), u"cmdSelectSound_%1"_s.arg(i)); }

// One of the two sound groups: "always this sound" or "one of three sounds chosen by the data",
// the three sounds, and how the sound is played.
struct SoundGroup {
    QString name, title;
    int always;           // Option2 index of "always"; the next index chooses by the data
    int alwaysSound;      // txtSelectSound index of the "always" sound
    QString byData;
    int firstCase;        // txtSelectSound index of case 「1」; 「2」 and 「3」 follow
    QString play;         // name of the play-mode choices, indexes 0 (synchronous) and 1
    QString sync, async;
};

QGroupBox* soundGroup(const SoundGroup& g, QLayout* dataSource) {
    auto* box = group(g.name, g.title);
    auto* layout = new QVBoxLayout(box);
    auto* always = new QHBoxLayout;
    always->addWidget(choice(u"Option2_%1"_s.arg(g.always), u"常に右記のサウンドを鳴らす"_s));
    always->addLayout(soundRow(g.alwaysSound), 1);
    layout->addLayout(always);
    auto* byData = named(new QRadioButton, u"Option2_%1"_s.arg(g.always + 1));
    setWrappedCaption(byData, g.byData);
    layout->addWidget(byData);
    if (dataSource) layout->addLayout(dataSource);
    for (int i = 0; i < 3; ++i) {
        auto* row = soundRow(g.firstCase + i);
        row->insertWidget(0, new QLabel(u"「%1」の場合"_s.arg(i + 1)));
        layout->addLayout(row);
    }
    auto* play = group(g.name + u"Play"_s, u"再生方法"_s);
    auto* playLayout = new QVBoxLayout(play);
    playLayout->addWidget(choice(g.play + u"_0"_s, g.sync));
    playLayout->addWidget(choice(g.play + u"_1"_s, g.async));
    layout->addWidget(play);
    return box;
}

} // namespace

SoundPage::SoundPage(QWidget* parent)
    : QGroupBox(u"サウンド（鳴らさなくてもいい項目にはファイル名を入れないで下さい）"_s, parent) {
    auto* layout = new QVBoxLayout(this);
    auto* keito = soundRow(0);
    keito->insertWidget(0, new QLabel(u"系統設定時のサウンド："_s));
    layout->addLayout(keito);
    auto* reset = soundRow(1);
    reset->insertWidget(0, new QLabel(u"リセット時のサウンド："_s));
    layout->addLayout(reset);

    auto* step = soundGroup(
        {u"grpStepSound"_s, u"送り・戻し時のサウンド"_s, 0, 7,
         u"運賃データ(*.hy3)の特定の列のデータから判断して、以下の指定したサウンドを鳴らす（指定した列のデータの内容が1～3以外の場合はサウンドは鳴りません）"_s,
         8, u"Option6"_s, u"同期再生(サウンドが完全に再生された後で運賃切り替え)"_s,
         u"非同期再生(サウンドを再生しながら運賃切り替え)"_s},
        line({u"運賃データの"_s, numberList(u"Combo1"_s, 150), u"列目"_s, u"のデータが、"_s}));
    auto* preTape = soundGroup(
        {u"grpPreTapeSound"_s, u"放送前のサウンド：※音声合成放送機能が有効でない場合は以下の設定は意味を持ちません。"_s, 2, 3,
         u"放送データ(*.Tp.csv)内のフラグから判断して、以下の指定したサウンドを鳴らす（フラグの内容が1～3以外の場合はサウンドは鳴りません）"_s,
         4, u"Option7"_s, u"同期再生(サウンドが完全に再生された後で放送開始)"_s, u"非同期再生(サウンドを再生しながら放送開始)"_s},
        nullptr);
    preTape->layout()->addWidget(
        note(u"「放送前のサウンド」再生時は、停名のスクロールが停止することがありますので、あらかじめご了承ください。"_s));

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

PreviewPage::PreviewPage(QWidget* parent) : QGroupBox(u"整理券プレビュー"_s, parent) {
    auto* layout = new QVBoxLayout(this);
    auto* usePreview = checkBox(u"chkUseSeiriPrev"_s, u"整理券プレビュー機能を使用する"_s);
    layout->addWidget(usePreview);

    auto* plugin = group(u"grpPlugin"_s, u"整理券プラグイン設定"_s);
    auto* pluginLayout = new QVBoxLayout(plugin);
    pluginLayout->addWidget(note(u"整理券プラグイン（整理券プレビューを使用しない場合は、何も入れないでください）："_s));
    auto* path = textBox(u"txtSeiriPlgDir"_s);
    auto* pathLine = pathRow(path, u"Command1"_s);
    auto* clear = named(new QToolButton, u"cmdClearPlugin"_s);
    clear->setText(u"×"_s);
    pathLine->addWidget(clear);
    pluginLayout->addLayout(pathLine);
    pluginLayout->addWidget(new QLabel(u"上記プラグインのプロパティ："_s));
    auto* properties = named(new QListWidget, u"lstPlgProperty"_s);
    // All ten lines of a plugin with barcodes in view, without scrolling.
    properties->setMinimumHeight(11 * properties->fontMetrics().height() + 2 * properties->frameWidth());
    pluginLayout->addWidget(properties);
    pluginLayout->addWidget(new QLabel(u"上記プラグインの特記事項："_s));
    auto* comment = named(new QPlainTextEdit, u"txtPlgComment"_s);
    comment->setReadOnly(true);
    QPalette grey = comment->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    comment->setPalette(grey);
    pluginLayout->addWidget(comment);
    connect(clear, &QToolButton::clicked, this, [path, properties, comment] {
        path->clear();
        properties->clear();
        comment->clear();
    });
    layout->addWidget(plugin);

    auto* date = group(u"grpDate"_s, u"日付の設定（整理券プラグインが日付の印字をサポートしているときに有効）"_s);
    auto* dateLayout = new QVBoxLayout(date);
    dateLayout->addWidget(choice(u"Option4_0"_s, u"システムの日付を使用（整理券印字と同時に日付を更新、デフォルト）"_s));
    dateLayout->addWidget(choice(u"Option4_1"_s, u"システムの日付を使用（系統設定した時点の日付を保持）"_s));
    dateLayout->addLayout(line({choice(u"Option4_2"_s, u"右記の日付に固定"_s),
                                named(new QPushButton(u"日付選択..."_s), u"Command7"_s), named(new QLabel, u"Label10"_s)}));
    dateLayout->addWidget(
        note(u"系統設定した際の日付が保持され、日付が途中で変わっても次回系統設定するまで整理券の日付変更を行いません。"_s));
    layout->addWidget(date);

    showWhile(usePreview, plugin);
    showWhile(usePreview, date);
    layout->addStretch();
}
