#include "options/frmOption.h"

#include "options/ColorButton.h"
#include "options/OptionPages.h"
#include "options/OptionTable.h"
#include "reslib/plugin/Rv4.h"
#include "reslib/ui/Messages.h"
#include "reslib/ui/QtCp932.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The order in which SetOptionInfo writes the fields: the enabling rules run as each value lands,
// and the two hooks refresh what depends on the fields written before them.
constexpr int RefreshBacklight = -1;
constexpr int CopyToPreviews = -2;
constexpr std::array kLoadOrder{
    1,  2,
    3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, RefreshBacklight,
    20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, CopyToPreviews,
    36, 37, 38, 39,
    40, 41, 44, 45, 42, 43, 46, 47, 48, 49, 50, 53, 54, 51, 52, 55, 56, 57, 58,
    59, 60, 61, 62, 63, 64,
};

constexpr bool writesEveryFieldOnce() {
    std::array<int, kOptionFields.size() + 1> seen{};
    for (int step : kLoadOrder)
        if (step > 0) ++seen[step];
    return std::all_of(seen.begin() + 1, seen.end(), [](int count) { return count == 1; });
}
static_assert(writesEveryFieldOnce());

const OptionField& field(int number) { return kOptionFields.at(number - 1); }

// The record's check values are 0 off, 1 on, 2 grey; Qt numbers the last two the other way round.
constexpr std::array kCheckStates{Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

// A control's value in the record's terms: check 0/1/2, choice -1/0, list index, colour.
int32_t numberOf(const QWidget* control) {
    if (auto* check = qobject_cast<const QCheckBox*>(control))
        return int32_t(std::ranges::find(kCheckStates, check->checkState()) - kCheckStates.begin());
    if (auto* option = qobject_cast<const QRadioButton*>(control)) return option->isChecked() ? -1 : 0;
    if (auto* list = qobject_cast<const QComboBox*>(control)) return list->currentIndex();
    return static_cast<const ColorButton*>(control)->color();
}

void setNumber(QWidget* control, int32_t value) {
    if (auto* check = qobject_cast<QCheckBox*>(control))
        check->setCheckState(kCheckStates[std::clamp(value, 0, 2)]);
    else if (auto* option = qobject_cast<QRadioButton*>(control))
        option->setChecked(value != 0);
    else if (auto* list = qobject_cast<QComboBox*>(control))
        list->setCurrentIndex(value);
    else
        static_cast<ColorButton*>(control)->setColor(value);
}

QString textOf(const QWidget* control) {
    if (auto* box = qobject_cast<const QLineEdit*>(control)) return box->text();
    return static_cast<const QLabel*>(control)->text();
}

void setText(QWidget* control, const QString& text) {
    if (auto* box = qobject_cast<QLineEdit*>(control))
        box->setText(text);
    else
        static_cast<QLabel*>(control)->setText(text);
}

template <class T>
void read(const QWidget* control, T& value) {
    if constexpr (std::is_same_v<T, std::string>)
        value = textOf(control).toStdString();
    else
        value = static_cast<T>(numberOf(control));
}


} // namespace

QString optionControlName(const OptionField& field) {
    return QString::fromLatin1(field.control.data(), qsizetype(field.control.size())).replace(u'(', u'_').remove(u')');
}

frmOption::frmOption(QWidget* parent) : QDialog(parent) {
    setObjectName(u"frmOption"_s);
    setWindowTitle(u"オプション"_s);

    digits_ = new DigitPage;
    QWidget* const pageList[] = {new FolderPage, new PanelPage, digits_, new ChimeiPage, new SoundPage, new PreviewPage};
    const QString captions[] = {u"運賃データと　放送用データ"_s, u"パネルと整理券番号表示"_s, u"デジタル部品と情報用数字"_s,
                                u"停名の設定"_s,                 u"サウンド"_s,               u"　　整理券　　　プレビュー"_s};
    auto* pages = new QStackedWidget;
    pages->setObjectName(u"pages"_s);
    auto* pageButtons = new QButtonGroup(this);
    auto* column = new QVBoxLayout;
    for (int i = 0; i < 6; ++i) {
        pages->addWidget(pageList[i]);
        auto* button = new QPushButton;
        button->setObjectName(u"optPage_%1"_s.arg(i));
        button->setCheckable(true);
        button->setMinimumSize(83, 56); // 1250 x 833 twips
        setWrappedCaption(button, captions[i]);
        pageButtons->addButton(button, i);
        column->addWidget(button);
    }
    column->addStretch();
    pageButtons->button(0)->setChecked(true);
    // This board's configuration keeps the panel page closed; its fields still load and save.
    pageButtons->button(1)->setEnabled(false);
    connect(pageButtons, &QButtonGroup::idClicked, pages, &QStackedWidget::setCurrentIndex);

    auto* ok = new QPushButton(u"OK"_s);
    ok->setObjectName(u"cmdOK"_s);
    connect(ok, &QPushButton::clicked, this, [this] {
        SetProp();
        accept();
    });

    auto* right = new QVBoxLayout;
    right->addWidget(pages);
    right->addWidget(ok, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(column);
    layout->addLayout(right, 1);

    for (const OptionField& f : kOptionFields) {
        QWidget* w = findChild<QWidget*>(optionControlName(f));
        Q_ASSERT(w);
        controls_[f.number - 1] = w;
        const auto keep = [this, &f] { store(f); };
        if (auto* check = qobject_cast<QCheckBox*>(w))
            connect(check, &QCheckBox::stateChanged, this, keep);
        else if (auto* option = qobject_cast<QRadioButton*>(w))
            connect(option, &QRadioButton::toggled, this, keep);
        else if (auto* list = qobject_cast<QComboBox*>(w))
            connect(list, &QComboBox::currentIndexChanged, this, keep);
        else if (auto* colour = qobject_cast<ColorButton*>(w))
            connect(colour, &ColorButton::changed, this, keep);
        else if (auto* box = qobject_cast<QLineEdit*>(w))
            connect(box, &QLineEdit::textChanged, this, keep);
    }
    connectPickers();

    OptionInfo initial;
    initial.FixedDate = QDate::currentDate().toString(u"yyyy/MM/dd"_s).toStdString();
    SetOptionInfo(initial);
    resize(638, 374); // 9570 x 5610 twips
}

QWidget* frmOption::control(const OptionField& f) const { return controls_[f.number - 1]; }

void frmOption::store(const OptionField& f) {
    std::visit([&](auto member) { read(control(f), record_.*member); }, f.member);
}

void frmOption::load(const OptionField& f, const OptionInfo& record) {
    std::visit(
        [&](auto member) {
            const auto& value = record.*member;
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>)
                setText(control(f), QString::fromStdString(value));
            else
                setNumber(control(f), value);
        },
        f.member);
    store(f); // the date label has no change signal of its own
}

OptionInfo frmOption::GetOptionInfo() const {
    OptionInfo record;
    forEachOption(record, [this](const OptionField& f, auto& value) { read(control(f), value); });
    return record;
}

void frmOption::SetOptionInfo(const OptionInfo& record) {
    for (int step : kLoadOrder) {
        if (step == RefreshBacklight)
            emit backlightRefreshRequested();
        else if (step == CopyToPreviews)
            digits_->updatePreviews();
        else
            load(field(step), record);
    }
    SetPlgin(QString::fromStdString(record_.SeiriPlgPath)); // a plugin gone since is silent
}

// What a plugin can print, one line each, as the property list shows it.
static QStringList pluginProperties(const PlgInfo& info) {
    const auto can = [](int32_t v) { return v == 1 ? u"---> 可能"_s : u"---> 不可"_s; };
    QStringList lines{u"日付の印字 "_s + can(info.printsDate), u"時刻の印字 "_s + can(info.printsTime),
                      u"系統番号の印字 "_s + can(info.printsRoute), u"停名の印字 "_s + can(info.printsStopName),
                      u"バーコード印字 "_s + can(info.printsBarcode)};
    if (info.printsBarcode == 1) {
        lines << u"バーコード本数 ---> %1"_s.arg(info.barcodeCount)
              << u"バーコード系統方式 "_s + (info.barcodeScheme == 1 ? u"---> 連番式"_s : u"---> 系統番号＋往復フラグ"_s)
              << u"設定可能な系統範囲 ---> 1 ～ %1"_s.arg(info.highestRoute)
              << u"停留所認識範囲 ---> %1 ～ %2"_s.arg(info.firstStop).arg(info.lastStop);
    }
    lines << u"社名切り替え:"_s + (info.companyCount > 0 ? u"---> 可能"_s : u"---> 不可"_s);
    return lines;
}

bool frmOption::SetPlgin(const QString& path) {
    if (path.isEmpty()) return false;
    const QByteArray file = toCp932(path);
    PlgInfo info{};
    if (!RV4_GetPlgInfo(file, info)) return false;
    RV4_SetPlgComment(file, findChild<QPlainTextEdit*>(u"txtPlgComment"_s));
    auto* properties = findChild<QListWidget*>(u"lstPlgProperty"_s);
    properties->clear();
    properties->addItems(pluginProperties(info));
    emit pluginDescribed(path, info.width, info.height, info.companyCount > 0);
    return true;
}

void frmOption::choosePlugin() {
    const QString path = chooseFile(u"プラグインの選択"_s, {{u"整理券プラグイン(*.4SP)"_s, u"*.4SP"_s}});
    if (path.isEmpty()) return;
    emit companiesCleared();
    if (SetPlgin(path))
        findChild<QLineEdit*>(u"txtSeiriPlgDir"_s)->setText(path);
    else
        msg::show(this, {u"プラグインロードエラー"_s, u"指定したファイルはプラグインでないか、内容が不正です"_s, QMessageBox::Critical});
}

void frmOption::setStartupDefaults() {
    OptionInfo defaults = record_;
    for (int number : {3, 4, 5, 6}) {
        resetOption(defaults, number);
        load(field(number), defaults);
    }
}

void frmOption::SetProp() { emit setPropRequested(); }

QString frmOption::GetPathString() {
    return fromCp932(Rv3FolderDlg(this, toCp932(u"フォルダーを選択してください"_s)));
}

void frmOption::GetBtnColor(ColorButton* button) {
    int32_t colour = button->color();
    if (Rv3ChooseColor(this, colour, customColors_)) button->setColor(colour);
    if (digits_->isAncestorOf(button)) digits_->updatePreviews();
}

QString frmOption::chooseFile(const QString& title, const std::vector<std::pair<QString, QString>>& filters) {
    return fromCp932(Rv3FileDlg(this, 0, filterList(filters), {}, toCp932(title)));
}

void frmOption::connectPickers() {
    using Filters = std::vector<std::pair<QString, QString>>;
    const Filters sounds{{u"Waveサウンド(*.wav)"_s, u"*.wav"_s},
                         {u"MP3サウンド(*.mp3)"_s, u"*.mp3"_s},
                         {u"MIDIシーケンス(*.mid)"_s, u"*.mid"_s}};
    const Filters images{{u"ビットマップ(*.bmp)"_s, u"*.bmp"_s}, {u"GIF画像(*.gif)"_s, u"*.gif"_s}, {u"JPEG画像(*.jpg)"_s, u"*.jpg"_s}};

    // Each "..." button puts the picker's answer into the box of the same index (or the one box);
    // a cancelled picker leaves the box as it is.
    struct Browse {
        QString button, box;
        std::function<QString()> choose;
    };
    const Browse browsers[] = {
        {u"cmdSelectSound"_s, u"txtSelectSound"_s, [this, sounds] { return chooseFile(u"サウンドの選択"_s, sounds); }},
        {u"Command6"_s, u"txtSelectPanel"_s, [this, images] { return chooseFile(u"パネル画像の選択"_s, images); }},
        {u"Command3"_s, u"Text2"_s, [this] { return GetPathString(); }},
    };
    for (const Browse& b : browsers) {
        for (auto* button : findChildren<QAbstractButton*>(QRegularExpression(u"^%1(_\\d+)?$"_s.arg(b.button)))) {
            auto* box = findChild<QLineEdit*>(b.box + button->objectName().mid(b.button.size()));
            connect(button, &QAbstractButton::clicked, box, [box, choose = b.choose] {
                const QString path = choose();
                if (!path.isEmpty()) box->setText(path);
            });
        }
    }

    connect(findChild<QAbstractButton*>(u"Command1"_s), &QAbstractButton::clicked, this, &frmOption::choosePlugin);

    for (auto* button : findChildren<ColorButton*>())
        connect(button, &ColorButton::clicked, this, [this, button] { GetBtnColor(button); });

    connect(findChild<QPushButton*>(u"Command7"_s), &QPushButton::clicked, this, [this] {
        SYSTEMTIME date{};
        if (!Call_dlg111(this, date)) return;
        const OptionField& fixedDate = field(64);
        setText(control(fixedDate), u"%1/%2/%3"_s.arg(int(date.wYear)).arg(int(date.wMonth), 2, 10, QChar(u'0')).arg(int(date.wDay), 2, 10, QChar(u'0')));
        store(fixedDate);
    });
}
