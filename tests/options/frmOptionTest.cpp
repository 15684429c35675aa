#include "options/frmOption.h"
#include "controls/M_Degit.h"
#include "options/ColorButton.h"
#include "options/model/OptionTable.h"
#include "reslib/ui/Messages.h"
#include "reslib/ui/Pickers.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Answers every picker with `answer` and keeps what was asked.
struct PickerAnswers {
    explicit PickerAnswers(picker::Answer a) : answer(std::move(a)) {
        picker::setHandler([this](const picker::Request& r) {
            requests.push_back(r);
            return answer;
        });
    }
    ~PickerAnswers() { picker::setHandler({}); }
    picker::Answer answer;
    std::vector<picker::Request> requests;
};

// The object name of a field's control: "Option3(7)" becomes "Option3_7", as control arrays are
// named throughout the program.
QString optionControlName(const OptionField& field) {
    return QString::fromLatin1(field.control.data(), qsizetype(field.control.size())).replace(u'(', u'_').remove(u')');
}

void expectSameOptions(const OptionInfo& actual, const OptionInfo& expected) {
    for (const OptionField& f : kOptionFields)
        std::visit([&](auto member) { EXPECT_EQ(actual.*member, expected.*member) << f.control; }, f.member);
}

// Every field away from its default; every choice group still has exactly one selected.
OptionInfo changedRecord() {
    OptionInfo r;
    forEachOption(r, [](const OptionField& f, auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::string>) {
            value = "変更" + std::to_string(f.number);
        } else {
            switch (f.kind) {
            case OptionKind::Check: value = T(1 - value); break;
            case OptionKind::Choice: value = T(value ? 0 : -1); break;
            case OptionKind::List: value = T(value + 3); break;
            default: value ^= 0x204060; break;
            }
        }
    });
    r.DateAtKeitoSet = 0; // of the three date choices, the fixed date takes over
    return r;
}

class frmOptionTest : public ::testing::Test {
protected:
    template <class W = QWidget>
    W* child(const QString& name) {
        W* w = dlg.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }

    frmOption dlg;
};

TEST_F(frmOptionTest, EveryFieldHasAControlOfItsKind) {
    for (const OptionField& f : kOptionFields) {
        QWidget* w = child(optionControlName(f));
        ASSERT_NE(w, nullptr);
        switch (f.kind) {
        case OptionKind::Check: EXPECT_TRUE(qobject_cast<QCheckBox*>(w)) << f.control; break;
        case OptionKind::Choice: EXPECT_TRUE(qobject_cast<QRadioButton*>(w)) << f.control; break;
        case OptionKind::List: EXPECT_TRUE(qobject_cast<QComboBox*>(w)) << f.control; break;
        case OptionKind::Colour: EXPECT_TRUE(qobject_cast<ColorButton*>(w)) << f.control; break;
        case OptionKind::Text: EXPECT_TRUE(qobject_cast<QLineEdit*>(w) || qobject_cast<QLabel*>(w)) << f.control; break;
        }
    }
}

TEST_F(frmOptionTest, StartsHiddenWithTheDefaults) {
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.windowTitle(), u"オプション"_s);
    EXPECT_EQ(child<QStackedWidget>(u"pages"_s)->currentIndex(), 0);
    EXPECT_EQ(child<QStackedWidget>(u"stkSoundGroup"_s)->currentWidget()->objectName(), u"grpStepSound"_s);
    EXPECT_FALSE(child(u"optPage_1"_s)->isEnabled());

    const QString today = QDate::currentDate().toString(u"yyyy/MM/dd"_s);
    EXPECT_EQ(child<QLabel>(u"Label10"_s)->text(), today);
    OptionInfo expected;
    expected.FixedDate = today.toStdString();
    expectSameOptions(dlg.GetOptionInfo(), expected);
    expectSameOptions(dlg.options(), expected);

    EXPECT_EQ(child<QComboBox>(u"Combo3"_s)->currentIndex(), -1);
    auto* styles = child<QComboBox>(u"Combo2"_s);
    ASSERT_EQ(styles->count(), 12);
    EXPECT_EQ(styles->itemText(0), u"1,2,3... 32 （既定の表示）"_s);
    EXPECT_EQ(styles->itemText(1), u"0,1,2... 31"_s);
    EXPECT_EQ(styles->itemText(11), u"(無地)、2,3... 32"_s);
    EXPECT_EQ(child<QComboBox>(u"Combo4_3"_s)->count(), 32);
    EXPECT_EQ(child<QComboBox>(u"Combo4_4"_s)->itemText(149), u"150"_s);

    // Not offered on this board; the plugin and date groups wait for the preview switch.
    for (const QString& hidden : {u"Check1"_s, u"grpSeiriNum"_s, u"grpPanelImage_0"_s, u"grpPlugin"_s, u"grpDate"_s})
        EXPECT_TRUE(child(hidden)->isHidden()) << hidden.toStdString();
}

TEST_F(frmOptionTest, PageButtonsBringTheirPageToTheFront) {
    child<QPushButton>(u"optPage_4"_s)->click();
    EXPECT_EQ(child<QStackedWidget>(u"pages"_s)->currentIndex(), 4);
    child<QPushButton>(u"optSoundGroup_1"_s)->click();
    EXPECT_EQ(child<QStackedWidget>(u"stkSoundGroup"_s)->currentWidget()->objectName(), u"grpPreTapeSound"_s);
}

TEST_F(frmOptionTest, InformationLinesEnableTheirListsAndKeepTheirChoices) {
    const std::pair<QString, QStringList> lines[] = {
        {u"Check3_0"_s, {u"Combo4_0"_s, u"Check3_4"_s}},
        {u"Check3_1"_s, {u"Combo4_1"_s}},
        {u"Check3_2"_s, {u"Combo4_2"_s}},
        {u"Check3_3"_s, {u"Combo4_4"_s, u"Combo4_3"_s}},
    };
    for (const auto& [name, dependents] : lines) {
        auto* show = child<QCheckBox>(name);
        for (const QString& d : dependents) EXPECT_FALSE(child(d)->isEnabled()) << d.toStdString();
        show->click();
        for (const QString& d : dependents) EXPECT_TRUE(child(d)->isEnabled()) << d.toStdString();
    }
    auto* cell = child<QComboBox>(u"Combo4_1"_s);
    cell->setCurrentIndex(5);
    child<QCheckBox>(u"Check3_1"_s)->click();
    EXPECT_FALSE(cell->isEnabled());
    EXPECT_EQ(dlg.options().InfoSeiriPos, 5);
    child<QCheckBox>(u"Check3_1"_s)->click();
    EXPECT_EQ(cell->currentIndex(), 5);
}

TEST_F(frmOptionTest, GroupSwitchesRunWhetherTheOperatorOrTheProgramSetsThem) {
    OptionInfo r = dlg.options();
    r.UseSeiriNumDisp = 0;
    dlg.SetOptionInfo(r);
    EXPECT_FALSE(child(u"grpSeiriNum"_s)->isEnabled());
    dlg.setStartupDefaults();
    EXPECT_TRUE(child(u"grpSeiriNum"_s)->isEnabled());

    child<QRadioButton>(u"Option3_1"_s)->click();
    for (int i = 0; i < 3; ++i) {
        QWidget* image = child(u"grpPanelImage_%1"_s.arg(i));
        EXPECT_TRUE(!image->isHidden() && image->isEnabled());
    }
    child<QRadioButton>(u"Option3_0"_s)->click();
    EXPECT_TRUE(child(u"grpPanelImage_2"_s)->isHidden());

    // Hiding the preview groups keeps what they hold.
    auto* usePreview = child<QCheckBox>(u"chkUseSeiriPrev"_s);
    usePreview->click();
    EXPECT_TRUE(!child(u"grpPlugin"_s)->isHidden() && child(u"grpDate"_s)->isEnabled());
    child<QLineEdit>(u"txtSeiriPlgDir"_s)->setText(u"/p/a.4SP"_s);
    child<QRadioButton>(u"Option4_2"_s)->click();
    usePreview->click();
    EXPECT_TRUE(child(u"grpPlugin"_s)->isHidden() && !child(u"grpDate"_s)->isEnabled());
    EXPECT_EQ(dlg.GetOptionInfo().SeiriPlgPath, "/p/a.4SP");
    EXPECT_EQ(dlg.options().DateFixed, -1);
}

TEST_F(frmOptionTest, SetOptionInfoReachesEveryControl) {
    const OptionInfo r = changedRecord();
    dlg.SetOptionInfo(r);
    expectSameOptions(dlg.GetOptionInfo(), r);
    expectSameOptions(dlg.options(), r);

    // Start-up puts back only the ticket-number switch and its colours.
    dlg.setStartupDefaults();
    OptionInfo expected = r;
    for (int n : {3, 4, 5, 6}) resetOption(expected, n);
    expectSameOptions(dlg.options(), expected);
}

TEST_F(frmOptionTest, BacklightIsRefreshedAfterThePanelFieldsAndBeforeTheDigitColours) {
    const OptionInfo r = changedRecord();
    std::optional<OptionInfo> atSignal;
    QObject::connect(&dlg, &frmOption::backlightRefreshRequested, [&] { atSignal = dlg.options(); });
    dlg.SetOptionInfo(r);
    ASSERT_TRUE(atSignal);
    EXPECT_EQ(atSignal->PanelIndividual, -1);
    EXPECT_EQ(atSignal->PanelOn2File, r.PanelOn2File);
    EXPECT_EQ(atSignal->FareDegitBackColor, OptionInfo().FareDegitBackColor);

    // and the previews show the loaded digit colours
    EXPECT_EQ(child<M_Degit>(u"M_Degit1"_s)->DegitForeColor(), r.FareDegitForeColor);
    EXPECT_EQ(child<M_Degit>(u"M_Degit2"_s)->BaseForeColor(), r.SeiriDegitBaseForeColor);
}

TEST_F(frmOptionTest, OkAppliesAndHidesWhileClosingOnlyHides) {
    QPointer<frmOption> alive(&dlg);
    QSignalSpy applied(&dlg, &frmOption::setPropRequested);
    dlg.show();
    child<QPushButton>(u"cmdOK"_s)->click();
    EXPECT_EQ(applied.count(), 1);
    EXPECT_FALSE(dlg.isVisible());

    dlg.show();
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(applied.count(), 1);
    EXPECT_TRUE(alive);
}

TEST_F(frmOptionTest, FileAndFolderPickersFillTheirBoxUnlessCancelled) {
    // The panel and plugin buttons work only while their groups are enabled.
    child<QRadioButton>(u"Option3_1"_s)->click();
    child<QCheckBox>(u"chkUseSeiriPrev"_s)->click();
    struct Case {
        QString button, box, title;
        QStringList filters;
    };
    const Case cases[] = {
        {u"cmdSelectSound_7"_s,
         u"txtSelectSound_7"_s,
         u"サウンドの選択"_s,
         {u"Waveサウンド(*.wav)"_s, u"MP3サウンド(*.mp3)"_s, u"MIDIシーケンス(*.mid)"_s}},
        {u"Command6_2"_s,
         u"txtSelectPanel_2"_s,
         u"パネル画像の選択"_s,
         {u"ビットマップ(*.bmp)"_s, u"GIF画像(*.gif)"_s, u"JPEG画像(*.jpg)"_s}},
        {u"Command3_1"_s, u"Text2_1"_s, u"フォルダーを選択してください"_s, {}},
    };
    for (const Case& c : cases) {
        auto* button = child<QAbstractButton>(c.button);
        auto* box = child<QLineEdit>(c.box);
        box->setText(u"前の値"_s);
        {
            PickerAnswers cancel({});
            button->click();
            ASSERT_EQ(cancel.requests.size(), 1u) << c.button.toStdString();
            EXPECT_EQ(cancel.requests[0].title, c.title);
            EXPECT_EQ(cancel.requests[0].nameFilters, c.filters);
        }
        EXPECT_EQ(box->text(), u"前の値"_s);
        PickerAnswers choose({.accepted = true, .path = u"/データ/選んだ"_s});
        button->click();
        EXPECT_EQ(box->text(), u"/データ/選んだ"_s);
    }
    EXPECT_EQ(dlg.options().StepSoundFile, "/データ/選んだ");
    EXPECT_EQ(dlg.options().TapeDataDir, "/データ/選んだ");
}

TEST_F(frmOptionTest, PluginPickerDescribesAPluginAndRefusesAnythingElse) {
    child<QCheckBox>(u"chkUseSeiriPrev"_s)->click();
    auto* box = child<QLineEdit>(u"txtSeiriPlgDir"_s);
    auto* properties = child<QListWidget>(u"lstPlgProperty"_s);
    std::vector<std::tuple<int, int, bool>> described;
    int cleared = 0;
    QObject::connect(&dlg, &frmOption::pluginDescribed,
                     [&](const QString&, int w, int h, bool companies) { described.emplace_back(w, h, companies); });
    QObject::connect(&dlg, &frmOption::companiesCleared, [&] { ++cleared; });
    std::vector<msg::Request> messages;
    msg::setHandler([&](const msg::Request& r) {
        messages.push_back(r);
        return QMessageBox::Ok;
    });
    const QString samples = QStringLiteral(FERIO_SAMPLES_DIR "/");
    {
        PickerAnswers cancel({});
        child<QAbstractButton>(u"Command1"_s)->click();
        ASSERT_EQ(cancel.requests.size(), 1u);
        EXPECT_EQ(cancel.requests[0].title, u"プラグインの選択"_s);
        EXPECT_EQ(cancel.requests[0].nameFilters, QStringList{u"整理券プラグイン(*.4SP)"_s});
        EXPECT_EQ(cleared, 0) << "a cancelled choice changes nothing";
    }
    {
        PickerAnswers choose({.accepted = true, .path = samples + u"barcode.4SP"_s});
        child<QAbstractButton>(u"Command1"_s)->click();
    }
    EXPECT_EQ(box->text(), samples + u"barcode.4SP"_s);
    ASSERT_EQ(properties->count(), 10);
    EXPECT_EQ(properties->item(4)->text(), u"バーコード印字 ---> 可能"_s);
    EXPECT_EQ(properties->item(6)->text(), u"バーコード系統方式 ---> 連番式"_s);
    EXPECT_EQ(properties->item(9)->text(), u"社名切り替え:---> 不可"_s);
    EXPECT_EQ(described, (std::vector<std::tuple<int, int, bool>>{{256, 120, false}}));

    {
        PickerAnswers choose({.accepted = true, .path = samples + u"12tp.csv"_s}); // no plugin
        child<QAbstractButton>(u"Command1"_s)->click();
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, u"プラグインロードエラー"_s);
    EXPECT_EQ(messages[0].text, u"指定したファイルはプラグインでないか、内容が不正です"_s);
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(box->text(), samples + u"barcode.4SP"_s) << "the previous path stays";
    EXPECT_EQ(properties->count(), 10);
    EXPECT_EQ(cleared, 2) << "the company list is emptied before each choice is described";

    ASSERT_TRUE(dlg.SetPlgin(samples + u"plain.4SP"_s));
    EXPECT_EQ(properties->count(), 6) << "no barcode lines";
    EXPECT_TRUE(dlg.SetPlgin(samples + u"companies.4SP"_s));
    EXPECT_EQ(std::get<2>(described.back()), true);
    EXPECT_FALSE(dlg.SetPlgin(QString())) << "an empty path describes nothing";
    msg::setHandler({});
}

TEST_F(frmOptionTest, ColourPickerKeepsCustomColoursAndDigitColoursShowAtOnce) {
    PickerAnswers answers({.accepted = true, .path = {}, .colour = 0x123456, .custom = {7, 8}});
    child<ColorButton>(u"Command8_0"_s)->click();
    EXPECT_EQ(child<M_Degit>(u"M_Degit1"_s)->BackColor(), 0x123456);
    EXPECT_EQ(dlg.options().FareDegitBackColor, 0x123456);
    EXPECT_EQ(dlg.customColors()[1], 8);

    answers.answer.colour = 0x654321;
    child<ColorButton>(u"Command8_5"_s)->click();
    EXPECT_EQ(child<M_Degit>(u"M_Degit2"_s)->DegitForeColor(), 0x654321);

    answers.answer = {};
    child<ColorButton>(u"Command9_0"_s)->click();
    EXPECT_EQ(dlg.options().ChimeiBackColor, OptionInfo().ChimeiBackColor);
    EXPECT_EQ(dlg.customColors()[0], 7);
}

TEST_F(frmOptionTest, DatePickerFixesTheDateAsYearMonthDay) {
    child<QCheckBox>(u"chkUseSeiriPrev"_s)->click();
    auto* label = child<QLabel>(u"Label10"_s);
    const QString before = label->text();
    {
        PickerAnswers cancel({});
        child<QPushButton>(u"Command7"_s)->click();
    }
    EXPECT_EQ(label->text(), before);

    SYSTEMTIME april{};
    april.wYear = 2024;
    april.wMonth = 4;
    april.wDay = 1;
    PickerAnswers choose({.accepted = true, .path = {}, .colour = 0, .custom = {}, .date = april});
    child<QPushButton>(u"Command7"_s)->click();
    EXPECT_EQ(label->text(), u"2024/04/01"_s);
    EXPECT_EQ(dlg.options().FixedDate, "2024/04/01");
}

TEST_F(frmOptionTest, OperatorChangesReachTheRecordAtOnce) {
    dlg.show();
    QTest::keyClicks(child<QLineEdit>(u"Text2_0"_s), u"fare"_s);
    EXPECT_EQ(dlg.options().FareDataDir, "fare");
    child<QRadioButton>(u"Option2_1"_s)->click();
    EXPECT_EQ(dlg.options().StepSoundByColumn, -1);
    EXPECT_EQ(dlg.options().StepSoundAlways, 0);
    child<QComboBox>(u"Combo1"_s)->setCurrentIndex(9);
    EXPECT_EQ(dlg.options().StepSoundColumn, 9);
    child<QCheckBox>(u"Check4"_s)->click();
    EXPECT_EQ(dlg.options().ChimeiFontBold, 1);
}

TEST(ColorButton, ShowsItsColourAndSignalsOnlyChanges) {
    ColorButton button;
    QSignalSpy changed(&button, &ColorButton::changed);
    button.setColor(0x0000FF);
    button.setColor(0x0000FF);
    EXPECT_EQ(changed.count(), 1);
    button.resize(60, 30);
    const QImage face = button.grab().toImage();
    EXPECT_EQ(face.pixelColor(face.rect().center()), QColor(Qt::red));
}

} // namespace

namespace {

// Key presses carrying text, as an input method delivers characters no key names.
void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

// Every text box of the options refuses, typed or pasted, a character the settings file cannot
// hold, and says so; CP932's own characters, the wave dash among them, still go in.
TEST_F(frmOptionTest, TextBoxesTakeOnlyWhatTheSettingsFileCanHold) {
    child<QRadioButton>(u"Option3_1"_s)->click(); // the panel and plugin boxes take keys only while enabled
    child<QCheckBox>(u"chkUseSeiriPrev"_s)->click();
    dlg.show();
    const QList<QLineEdit*> boxes = dlg.findChildren<QLineEdit*>();
    ASSERT_EQ(boxes.size(), 16) << "2 folders, 3 panels, 10 sounds, 1 plugin";
    for (QLineEdit* box : boxes) {
        const std::string name = box->objectName().toStdString();
        ASSERT_TRUE(box->isEnabled()) << name;
        box->clear();
        typeText(box, u"運賃～①"_s);
        EXPECT_EQ(box->text(), u"運賃～①"_s) << name;
        QSignalSpy rejected(box, &QLineEdit::inputRejected);
        typeText(box, u"é"_s);
        QApplication::clipboard()->setText(u"/音/café.wav"_s);
        box->paste();
        EXPECT_EQ(box->text(), u"運賃～①"_s) << name;
        EXPECT_EQ(rejected.count(), 2) << name;
        EXPECT_TRUE(box->toolTip().contains(u"CP932"_s)) << name;
    }
    EXPECT_EQ(dlg.options().StepSoundFile3, "運賃～①");
}

// A list index from a damaged or foreign settings file shows as no entry, and is passed on and
// saved as it was read; the operator's own choice then replaces it.
TEST_F(frmOptionTest, ListValuesTheListsCannotShowAreKeptAsGiven) {
    OptionInfo r = changedRecord();
    r.SeiriNumStyle = 15;
    r.ChimeiFontMode = 5;
    r.InfoKeitoPos = 32;
    r.StepSoundColumn = -7;
    dlg.SetOptionInfo(r);
    for (const QString& name : {u"Combo2"_s, u"Combo3"_s, u"Combo4_2"_s, u"Combo1"_s})
        EXPECT_EQ(child<QComboBox>(name)->currentIndex(), -1) << name.toStdString();
    expectSameOptions(dlg.options(), r);
    expectSameOptions(dlg.GetOptionInfo(), r);

    child<QComboBox>(u"Combo3"_s)->setCurrentIndex(1);
    EXPECT_EQ(dlg.GetOptionInfo().ChimeiFontMode, 1);
    r.ChimeiFontMode = -1; // nothing chosen is a value of its own
    dlg.SetOptionInfo(r);
    EXPECT_EQ(dlg.GetOptionInfo().ChimeiFontMode, -1);
}

} // namespace

namespace {

// With every group shown, no caption of any page overlaps a control or a frame beside it, nor
// reaches out of the box that holds it; the dialog stays near its designed 638 x 374.
TEST_F(frmOptionTest, CaptionsKeepClearOfEveryFrame) {
    child<QRadioButton>(u"Option3_1"_s)->click();
    child<QCheckBox>(u"chkUseSeiriPrev"_s)->click();
    dlg.show();
    auto* pages = child<QStackedWidget>(u"pages"_s);
    for (int view = 0; view < 7; ++view) {
        pages->setCurrentIndex(std::min(view, 5));
        if (view >= 4) child<QPushButton>(u"optSoundGroup_%1"_s.arg(view == 5 ? 1 : 0))->click();
        QApplication::processEvents();
        QList<QGroupBox*> boxes = pages->currentWidget()->findChildren<QGroupBox*>();
        boxes << static_cast<QGroupBox*>(pages->currentWidget());
        for (const QGroupBox* box : boxes) {
            if (!box->isVisible()) continue;
            QList<const QWidget*> shown;
            for (const QObject* o : box->children())
                if (const auto* w = qobject_cast<const QWidget*>(o); w && w->isVisible()) shown << w;
            for (const QWidget* w : shown) {
                const std::string name = (w->objectName() + u' ' + box->title()).toStdString();
                EXPECT_TRUE(box->contentsRect().contains(w->geometry())) << name << " on page " << view;
                if (const auto* label = qobject_cast<const QLabel*>(w)) {
                    for (const QWidget* other : shown) {
                        if (other != w) {
                            EXPECT_FALSE(other->geometry().intersects(label->geometry()))
                                << label->text().toStdString() << " / " << other->metaObject()->className()
                                << " on page " << view;
                        }
                    }
                }
            }
        }
    }
    EXPECT_LE(dlg.width(), 720);
    EXPECT_LE(dlg.height(), 450);
}

} // namespace
