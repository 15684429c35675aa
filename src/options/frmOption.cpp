#include "options/frmOption.h"

#include "options/ColorButton.h"
#include "options/model/OptionTable.h"
#include "options/pages/ChimeiPage.h"
#include "options/pages/DigitPage.h"
#include "options/pages/FolderPage.h"
#include "options/pages/PanelPage.h"
#include "options/pages/PreviewPage.h"
#include "options/pages/SoundPage.h"
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
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using O = OptionInfo;

// The order in which SetOptionInfo writes the fields: the enabling rules run as each value lands,
// and two refreshes follow the fields they depend on (kBacklightAfter, kPreviewsAfter).
constexpr std::array<OptionMember, 64> kLoadOrder{
    &O::FareDataDir,         &O::TapeDataDir,         &O::UseSeiriNumDisp,
    &O::SeiriNumColorOff,    &O::SeiriNumColorOn1,    &O::SeiriNumColorOn2,
    &O::SeiriNumStyle,       &O::SeiriNumZeroPad,     &O::PanelAuto,
    &O::PanelIndividual,     &O::PanelOffBuiltin,     &O::PanelOffUser,
    &O::PanelOn1Builtin,     &O::PanelOn1User,        &O::PanelOn2Builtin,
    &O::PanelOn2User,        &O::PanelOffFile,        &O::PanelOn1File,
    &O::PanelOn2File,        &O::FareDegitBackColor,  &O::FareDegitBaseForeColor,
    &O::FareDegitForeColor,  &O::SeiriDegitBackColor, &O::SeiriDegitBaseForeColor,
    &O::SeiriDegitForeColor, &O::InfoKukanShow,       &O::InfoKukanPos,
    &O::InfoKukanFromZero,   &O::InfoSeiriShow,       &O::InfoSeiriPos,
    &O::InfoKeitoShow,       &O::InfoKeitoPos,        &O::InfoColumnShow,
    &O::InfoColumnNo,        &O::InfoColumnPos,       &O::ChimeiBackColor,
    &O::ChimeiForeColor,     &O::ChimeiFontMode,      &O::ChimeiFontBold,
    &O::SoundKeitoSet,       &O::SoundReset,          &O::StepSoundSync,
    &O::StepSoundAsync,      &O::StepSoundAlways,     &O::StepSoundByColumn,
    &O::StepSoundFile,       &O::StepSoundColumn,     &O::StepSoundFile1,
    &O::StepSoundFile2,      &O::StepSoundFile3,      &O::PreTapeSoundSync,
    &O::PreTapeSoundAsync,   &O::PreTapeSoundAlways,  &O::PreTapeSoundByFlag,
    &O::PreTapeSoundFile,    &O::PreTapeSoundFile1,   &O::PreTapeSoundFile2,
    &O::PreTapeSoundFile3,   &O::UseSeiriPrev,        &O::SeiriPlgPath,
    &O::DatePerPrint,        &O::DateAtKeitoSet,      &O::DateFixed,
    &O::FixedDate,
};
constexpr OptionMember kBacklightAfter = &O::PanelOn2File; // the panel fields are all in
constexpr OptionMember kPreviewsAfter = &O::InfoColumnPos; // the digit colours are all in

constexpr bool writesEveryFieldOnce() {
    for (const OptionField& f : kOptionFields) {
        int count = 0;
        for (const OptionMember& step : kLoadOrder) count += step == f.member;
        if (count != 1) return false;
    }
    return true;
}
static_assert(writesEveryFieldOnce());

// The start-up puts these back to their defaults.
constexpr std::array<OptionMember, 4> kStartupFields{&O::UseSeiriNumDisp, &O::SeiriNumColorOff, &O::SeiriNumColorOn1,
                                                     &O::SeiriNumColorOn2};

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>; // clang 14 does not deduce aggregates

// The record's check values are 0 off, 1 on, 2 grey; Qt numbers the last two the other way round.
constexpr std::array kCheckStates{Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

// A number control's value in the record's terms: check 0/1/2, choice -1/0, list index, colour.
// Nothing from a list that shows no entry, nor from a text control.
std::optional<int32_t> numberOf(const OptionControl& control) {
    return std::visit(Overloaded{
                          [](QCheckBox* c) -> std::optional<int32_t> {
                              return int32_t(std::ranges::find(kCheckStates, c->checkState()) - kCheckStates.begin());
                          },
                          [](QRadioButton* c) -> std::optional<int32_t> { return c->isChecked() ? -1 : 0; },
                          [](QComboBox* c) -> std::optional<int32_t> {
                              if (c->currentIndex() < 0) return std::nullopt;
                              return c->currentIndex();
                          },
                          [](ColorButton* c) -> std::optional<int32_t> { return c->color(); },
                          [](auto*) -> std::optional<int32_t> { return std::nullopt; },
                      },
                      control);
}

// A list given an index it has no entry for shows nothing.
void setNumber(const OptionControl& control, int32_t value) {
    std::visit(Overloaded{
                   [=](QCheckBox* c) { c->setCheckState(kCheckStates[std::clamp(value, 0, 2)]); },
                   [=](QRadioButton* c) { c->setChecked(value != 0); },
                   [=](QComboBox* c) { c->setCurrentIndex(value); },
                   [=](ColorButton* c) { c->setColor(value); },
                   [](auto*) {},
               },
               control);
}

QString textOf(const OptionControl& control) {
    return std::visit(Overloaded{
                          [](QLineEdit* c) { return c->text(); },
                          [](QLabel* c) { return c->text(); },
                          [](auto*) { return QString(); },
                      },
                      control);
}

void setText(const OptionControl& control, const QString& text) {
    std::visit(Overloaded{
                   [&](QLineEdit* c) { c->setText(text); },
                   [&](QLabel* c) { c->setText(text); },
                   [](auto*) {},
               },
               control);
}

template <class T>
void read(const OptionControl& control, T& value) {
    if constexpr (std::is_same_v<T, std::string>)
        value = textOf(control).toStdString();
    else if (const auto number = numberOf(control))
        value = static_cast<T>(*number);
}

// Calls `changed` whenever the control's value changes; the date label tells its page instead.
void watch(const OptionControl& control, QObject* context, const std::function<void()>& changed) {
    std::visit(Overloaded{
                   [&](QCheckBox* c) { QObject::connect(c, &QCheckBox::stateChanged, context, changed); },
                   [&](QRadioButton* c) { QObject::connect(c, &QRadioButton::toggled, context, changed); },
                   [&](QComboBox* c) { QObject::connect(c, &QComboBox::currentIndexChanged, context, changed); },
                   [&](ColorButton* c) { QObject::connect(c, &ColorButton::changed, context, changed); },
                   [&](QLineEdit* c) { QObject::connect(c, &QLineEdit::textChanged, context, changed); },
                   [](QLabel*) {},
               },
               control);
}

// The pages lie on top of each other. Their wrapped notes need more height the narrower a page
// is, so the stack asks each page for its height at the width it gets: a plain stack takes the
// heights at the pages' narrowest and squeezes the captions into the frames below them.
class PageStack : public QStackedWidget {
public:
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        int height = 0;
        for (int i = 0; i < count(); ++i) {
            const QWidget* page = widget(i);
            height = std::max(height, page->hasHeightForWidth() ? page->heightForWidth(width)
                                                                : page->minimumSizeHint().height());
        }
        return height;
    }
    QSize minimumSizeHint() const override {
        const int width = QStackedWidget::minimumSizeHint().width();
        return {width, heightForWidth(width)};
    }
};

} // namespace

frmOption::frmOption(QWidget* parent) : QDialog(parent) {
    setObjectName(u"frmOption"_s);
    setWindowTitle(u"オプション"_s);

    digits_ = new DigitPage(*this);
    preview_ = new PreviewPage(*this);
    OptionPage* const pageList[] = {new FolderPage(*this), new PanelPage(*this), digits_,
                                    new ChimeiPage(*this), new SoundPage(*this), preview_};
    const QString captions[] = {u"運賃データと　放送用データ"_s,
                                u"パネルと整理券番号表示"_s,
                                u"デジタル部品と情報用数字"_s,
                                u"停名の設定"_s,
                                u"サウンド"_s,
                                u"　　整理券　　　プレビュー"_s};
    auto* pages = new PageStack;
    pages->setObjectName(u"pages"_s);
    auto* pageButtons = new QButtonGroup(this);
    auto* column = new QVBoxLayout;
    std::array<bool, kOptionFields.size()> bound{};
    for (int i = 0; i < 6; ++i) {
        pages->addWidget(pageList[i]);
        for (const OptionBinding& b : pageList[i]->bindings()) {
            const OptionField& f = optionField(b.member);
            controls_[f.number - 1] = b.control;
            bound[f.number - 1] = true;
            watch(b.control, this, [this, &f] { store(f); });
        }
        auto* button = new QPushButton;
        button->setObjectName(u"optPage_%1"_s.arg(i));
        button->setCheckable(true);
        button->setMinimumSize(83, 56); // 1250 x 833 twips
        setWrappedCaption(button, captions[i]);
        pageButtons->addButton(button, i);
        column->addWidget(button);
    }
    // Tighter than the style's spacing: the pages were designed for a dialog of 638 x 374.
    for (QLayout* l : pages->findChildren<QLayout*>()) l->setSpacing(4);
    if (!std::ranges::all_of(bound, std::identity{})) qFatal("frmOption: an option field has no control");
    connect(preview_, &PreviewPage::fixedDateChosen, this, [this] { store(optionField(&O::FixedDate)); });
    connect(preview_, &PreviewPage::pluginChosen, this, &frmOption::usePlugin);
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

    OptionInfo initial;
    initial.FixedDate = QDate::currentDate().toString(u"yyyy/MM/dd"_s).toStdString();
    SetOptionInfo(initial);
    resize(638, 374); // 9570 x 5610 twips
}

const OptionControl& frmOption::control(const OptionField& f) const { return controls_[f.number - 1]; }

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
            // As given, also when the control cannot show it (a list index from a foreign file).
            record_.*member = value;
        },
        f.member);
}

OptionInfo frmOption::GetOptionInfo() const {
    OptionInfo record = record_;
    forEachOption(record, [this](const OptionField& f, auto& value) { read(control(f), value); });
    return record;
}

void frmOption::SetOptionInfo(const OptionInfo& record) {
    for (const OptionMember& step : kLoadOrder) {
        load(optionField(step), record);
        if (step == kBacklightAfter)
            emit backlightRefreshRequested();
        else if (step == kPreviewsAfter)
            digits_->updatePreviews();
    }
    SetPlgin(QString::fromStdString(record_.SeiriPlgPath)); // a plugin gone since is silent
}

bool frmOption::SetPlgin(const QString& path) {
    if (path.isEmpty()) return false;
    const QByteArray file = toCp932(path);
    PlgInfo info{};
    if (!RV4_GetPlgInfo(file, info)) return false;
    preview_->describePlugin(file, info);
    emit pluginDescribed(path, info.width, info.height, info.companyCount > 0);
    return true;
}

void frmOption::usePlugin(const QString& path) {
    emit companiesCleared();
    if (SetPlgin(path))
        preview_->setPluginPath(path);
    else
        msg::show(this, {u"プラグインロードエラー"_s, u"指定したファイルはプラグインでないか、内容が不正です"_s,
                         QMessageBox::Critical});
}

void frmOption::setStartupDefaults() {
    OptionInfo defaults = record_;
    for (const OptionMember& m : kStartupFields) {
        resetOption(defaults, optionField(m));
        load(optionField(m), defaults);
    }
}

void frmOption::SetProp() { emit setPropRequested(); }

QString frmOption::GetPathString() { return fromCp932(Rv3FolderDlg(this, toCp932(u"フォルダーを選択してください"_s))); }

QString frmOption::chooseFile(PickedFile kind) {
    using Filters = std::vector<std::pair<QString, QString>>;
    struct Picker {
        QString title;
        Filters filters;
    };
    const Picker pickers[] = {
        {u"サウンドの選択"_s,
         {{u"Waveサウンド(*.wav)"_s, u"*.wav"_s},
          {u"MP3サウンド(*.mp3)"_s, u"*.mp3"_s},
          {u"MIDIシーケンス(*.mid)"_s, u"*.mid"_s}}},
        {u"パネル画像の選択"_s,
         {{u"ビットマップ(*.bmp)"_s, u"*.bmp"_s},
          {u"GIF画像(*.gif)"_s, u"*.gif"_s},
          {u"JPEG画像(*.jpg)"_s, u"*.jpg"_s}}},
        {u"プラグインの選択"_s, {{u"整理券プラグイン(*.4SP)"_s, u"*.4SP"_s}}},
    };
    const Picker& p = pickers[static_cast<int>(kind)];
    return fromCp932(Rv3FileDlg(this, 0, filterList(p.filters), {}, toCp932(p.title)));
}

std::optional<int32_t> frmOption::GetBtnColor(int32_t colour) {
    if (!Rv3ChooseColor(this, colour, customColors_)) return std::nullopt;
    return colour;
}

std::optional<QString> frmOption::chooseDate() {
    SYSTEMTIME date{};
    if (!Call_dlg111(this, date)) return std::nullopt;
    return u"%1/%2/%3"_s.arg(int(date.wYear))
        .arg(int(date.wMonth), 2, 10, QChar(u'0'))
        .arg(int(date.wDay), 2, 10, QChar(u'0'));
}
