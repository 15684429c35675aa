#include "options/pages/PreviewPage.h"

#include "options/OptionPickers.h"
#include "reslib/plugin/Rv4.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace optionui;

PreviewPage::PreviewPage(OptionPickers& pickers, QWidget* parent) : OptionPage(u"整理券プレビュー"_s, parent) {
    auto* layout = new QVBoxLayout(this);
    usePreview_ = checkBox(u"chkUseSeiriPrev"_s, u"整理券プレビュー機能を使用する"_s);
    layout->addWidget(usePreview_);

    auto* plugin = group(u"grpPlugin"_s, u"整理券プラグイン設定"_s);
    auto* pluginLayout = new QVBoxLayout(plugin);
    pluginLayout->addWidget(
        note(u"整理券プラグイン（整理券プレビューを使用しない場合は、何も入れないでください）："_s));
    pluginPath_ = textBox(u"txtSeiriPlgDir"_s);
    auto* browse = browseButton(u"Command1"_s);
    // The path box takes the file only once it is described (pluginChosen).
    connect(browse, &QToolButton::clicked, this, [this, &pickers] {
        if (const QString path = pickers.chooseFile(PickedFile::Plugin); !path.isEmpty()) emit pluginChosen(path);
    });
    auto* clear = named(new QToolButton, u"cmdClearPlugin"_s);
    clear->setText(u"×"_s);
    auto* pathLine = new QHBoxLayout;
    pathLine->addWidget(pluginPath_);
    pathLine->addWidget(browse);
    pathLine->addWidget(clear);
    pluginLayout->addLayout(pathLine);
    // The property list and the remarks side by side, each under its own caption.
    auto* described = new QGridLayout;
    described->addWidget(new QLabel(u"上記プラグインのプロパティ："_s), 0, 0);
    described->addWidget(new QLabel(u"上記プラグインの特記事項："_s), 0, 1);
    properties_ = named(new QListWidget, u"lstPlgProperty"_s);
    comment_ = named(new QPlainTextEdit, u"txtPlgComment"_s);
    comment_->setReadOnly(true);
    QPalette grey = comment_->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    comment_->setPalette(grey);
    // Five lines in view; a plugin with barcodes scrolls to its other five.
    for (QAbstractScrollArea* box : std::initializer_list<QAbstractScrollArea*>{properties_, comment_})
        box->setFixedHeight(5 * box->fontMetrics().height() + 2 * box->frameWidth() + 4);
    described->addWidget(properties_, 1, 0);
    described->addWidget(comment_, 1, 1);
    pluginLayout->addLayout(described);
    connect(clear, &QToolButton::clicked, this, [this] {
        pluginPath_->clear();
        properties_->clear();
        comment_->clear();
    });
    layout->addWidget(plugin);

    auto* date = group(u"grpDate"_s, u"日付の設定（整理券プラグインが日付の印字をサポートしているときに有効）"_s);
    auto* dateLayout = new QVBoxLayout(date);
    dates_ = {choice(u"Option4_0"_s, u"システムの日付を使用（整理券印字と同時に日付を更新、デフォルト）"_s),
              choice(u"Option4_1"_s, u"システムの日付を使用（系統設定した時点の日付を保持）"_s),
              choice(u"Option4_2"_s, u"右記の日付に固定"_s)};
    auto* chooseDate = named(new QPushButton(u"日付選択..."_s), u"Command7"_s);
    fixedDate_ = named(new QLabel, u"Label10"_s);
    connect(chooseDate, &QPushButton::clicked, this, [this, &pickers] {
        if (const auto day = pickers.chooseDate()) {
            fixedDate_->setText(*day);
            emit fixedDateChosen();
        }
    });
    dateLayout->addWidget(dates_[0]);
    dateLayout->addWidget(dates_[1]);
    dateLayout->addLayout(line({dates_[2], chooseDate, fixedDate_}));
    dateLayout->addWidget(note(
        u"系統設定した際の日付が保持され、日付が途中で変わっても次回系統設定するまで整理券の日付変更を行いません。"_s));
    layout->addWidget(date);

    showWhile(usePreview_, plugin);
    showWhile(usePreview_, date);
    layout->addStretch();
}

// What a plugin can print, one line each, as the property list shows it.
static QStringList pluginProperties(const PlgInfo& info) {
    const auto can = [](int32_t v) { return v == 1 ? u"---> 可能"_s : u"---> 不可"_s; };
    QStringList lines{u"日付の印字 "_s + can(info.printsDate), u"時刻の印字 "_s + can(info.printsTime),
                      u"系統番号の印字 "_s + can(info.printsRoute), u"停名の印字 "_s + can(info.printsStopName),
                      u"バーコード印字 "_s + can(info.printsBarcode)};
    if (info.printsBarcode == 1) {
        lines << u"バーコード本数 ---> %1"_s.arg(info.barcodeCount)
              << u"バーコード系統方式 "_s +
                     (info.barcodeScheme == 1 ? u"---> 連番式"_s : u"---> 系統番号＋往復フラグ"_s)
              << u"設定可能な系統範囲 ---> 1 ～ %1"_s.arg(info.highestRoute)
              << u"停留所認識範囲 ---> %1 ～ %2"_s.arg(info.firstStop).arg(info.lastStop);
    }
    lines << u"社名切り替え:"_s + (info.companyCount > 0 ? u"---> 可能"_s : u"---> 不可"_s);
    return lines;
}

void PreviewPage::describePlugin(const QByteArray& file, const PlgInfo& info) {
    RV4_SetPlgComment(file, comment_);
    properties_->clear();
    properties_->addItems(pluginProperties(info));
}

void PreviewPage::setPluginPath(const QString& path) { pluginPath_->setText(path); }

std::vector<OptionBinding> PreviewPage::bindings() const {
    return {
        {&OptionInfo::UseSeiriPrev, usePreview_}, {&OptionInfo::SeiriPlgPath, pluginPath_},
        {&OptionInfo::DatePerPrint, dates_[0]},   {&OptionInfo::DateAtKeitoSet, dates_[1]},
        {&OptionInfo::DateFixed, dates_[2]},      {&OptionInfo::FixedDate, fixedDate_},
    };
}
