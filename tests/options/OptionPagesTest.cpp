#include "options/ColorButton.h"
#include "options/OptionPickers.h"
#include "options/pages/ChimeiPage.h"
#include "options/pages/DigitPage.h"
#include "options/pages/FolderPage.h"
#include "options/pages/PanelPage.h"
#include "options/pages/PreviewPage.h"
#include "options/pages/SoundPage.h"
#include "reslib/ui/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Answers every picker with a new text and keeps what was asked.
struct FakePickers : OptionPickers {
    QString GetPathString() override { return answer(u"folder"_s); }
    QString chooseFile(PickedFile kind) override { return answer(u"file%1-"_s.arg(int(kind))); }
    std::optional<int32_t> GetBtnColor(int32_t colour) override {
        asked << u"colour"_s;
        return colour ^ 0xFFFFFF;
    }
    std::optional<QString> chooseDate() override { return answer(u"date"_s); }

    QString answer(const QString& kind) {
        asked << kind;
        return kind + QString::number(asked.size());
    }
    QStringList asked;
};

struct Pages {
    FakePickers pickers;
    std::vector<std::unique_ptr<OptionPage>> all;
    Pages() {
        all.emplace_back(new FolderPage(pickers));
        all.emplace_back(new PanelPage(pickers));
        all.emplace_back(new DigitPage(pickers));
        all.emplace_back(new ChimeiPage(pickers));
        all.emplace_back(new SoundPage(pickers));
        all.emplace_back(new PreviewPage(pickers));
    }
};

bool controlOfKind(const OptionControl& control, OptionKind kind) {
    switch (kind) {
    case OptionKind::Check: return std::holds_alternative<QCheckBox*>(control);
    case OptionKind::Choice: return std::holds_alternative<QRadioButton*>(control);
    case OptionKind::List: return std::holds_alternative<QComboBox*>(control);
    case OptionKind::Colour: return std::holds_alternative<ColorButton*>(control);
    case OptionKind::Text:
        return std::holds_alternative<QLineEdit*>(control) || std::holds_alternative<QLabel*>(control);
    }
    return false;
}

} // namespace

// A page that forgets a field, binds one twice or binds a stray widget fails here.
TEST(OptionPages, BindEveryFieldOnceToAControlOfItsKind) {
    Pages pages;
    std::map<int, int> bound;
    for (const auto& page : pages.all) {
        for (const OptionBinding& b : page->bindings()) {
            const OptionField& f = optionField(b.member);
            ++bound[f.number];
            const QWidget* widget = std::visit([](auto* w) -> const QWidget* { return w; }, b.control);
            ASSERT_NE(widget, nullptr) << f.control;
            EXPECT_TRUE(page->isAncestorOf(widget)) << f.control;
            EXPECT_TRUE(controlOfKind(b.control, f.kind)) << f.control;
            EXPECT_EQ(widget->objectName(), QString::fromLatin1(f.control.data()).replace(u'(', u'_').remove(u')'));
        }
    }
    for (const OptionField& f : kOptionFields) EXPECT_EQ(bound[f.number], 1) << f.control;
}

// Each "..." puts the answer of its own picker into its own box and into no other.
TEST(OptionPages, EveryBrowseButtonFillsTheBoxBesideIt) {
    struct Case {
        int page;
        QString button, box, asked;
        std::vector<int> indexes;
    };
    const Case cases[] = {
        {0, u"Command3"_s, u"Text2"_s, u"folder"_s, {0, 1}},
        {1, u"Command6"_s, u"txtSelectPanel"_s, u"file1-"_s, {0, 1, 2}},
        {4, u"cmdSelectSound"_s, u"txtSelectSound"_s, u"file0-"_s, {0, 1, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    Pages pages;
    for (const Case& c : cases) {
        OptionPage& page = *pages.all[c.page];
        for (int i : c.indexes) {
            const QString suffix = u"_%1"_s.arg(i);
            auto* button = page.findChild<QToolButton*>(c.button + suffix);
            ASSERT_NE(button, nullptr) << (c.button + suffix).toStdString();
            std::map<QString, QString> before;
            for (auto* box : page.findChildren<QLineEdit*>()) before[box->objectName()] = box->text();
            button->click();
            ASSERT_FALSE(pages.pickers.asked.isEmpty());
            EXPECT_EQ(pages.pickers.asked.back(), c.asked);
            const QString answer = c.asked + QString::number(pages.pickers.asked.size());
            for (auto* box : page.findChildren<QLineEdit*>()) {
                const bool own = box->objectName() == c.box + suffix;
                EXPECT_EQ(box->text(), own ? answer : before[box->objectName()]) << box->objectName().toStdString();
            }
        }
    }
}

TEST(OptionPages, PluginAndDateButtonsAskTheirPickers) {
    Pages pages;
    auto& preview = static_cast<PreviewPage&>(*pages.all[5]);
    QSignalSpy chosen(&preview, &PreviewPage::pluginChosen);
    QSignalSpy dated(&preview, &PreviewPage::fixedDateChosen);
    preview.findChild<QCheckBox*>(u"chkUseSeiriPrev"_s)->click(); // the buttons work only while it is on
    preview.findChild<QToolButton*>(u"Command1"_s)->click();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toString(), u"file2-1"_s);
    EXPECT_TRUE(preview.findChild<QLineEdit*>(u"txtSeiriPlgDir"_s)->text().isEmpty()) << "only once described";
    preview.findChild<QAbstractButton*>(u"Command7"_s)->click();
    EXPECT_EQ(dated.count(), 1);
    EXPECT_EQ(preview.findChild<QLabel*>(u"Label10"_s)->text(), u"date2"_s);

    auto* colour = pages.all[3]->findChild<ColorButton*>(u"Command9_1"_s);
    colour->setColor(0x00FFFF);
    colour->click();
    EXPECT_EQ(colour->color(), 0xFF0000);
}

namespace {
struct OpenedUrls : QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};
} // namespace

TEST(OptionPages, TheFolderButtonsOpenTheFolderOrSayThatNothingCanOpenIt) {
    FakePickers pickers;
    FolderPage page(pickers);
    std::vector<msg::Request> messages;
    msg::setHandler([&](const msg::Request& r) {
        messages.push_back(r);
        return QMessageBox::Ok;
    });
    page.findChild<QLineEdit*>(u"Text2_1"_s)->setText(u"/srv/放送"_s);
    // No file manager: the offscreen platform has no way to open a folder at all.
    page.findChild<QPushButton*>(u"cmdOpenFolder_1"_s)->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, msg::AppTitle);
    EXPECT_TRUE(messages[0].text.contains(u"ファイルマネージャーが見つかりません：/srv/放送"_s))
        << messages[0].text.toStdString();

    OpenedUrls desktop;
    QDesktopServices::setUrlHandler(u"file"_s, &desktop, "open");
    page.findChild<QPushButton*>(u"cmdOpenFolder_1"_s)->click();
    page.findChild<QPushButton*>(u"cmdOpenFolder_0"_s)->click(); // empty: the current folder
    QDesktopServices::unsetUrlHandler(u"file"_s);
    msg::setHandler({});
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(desktop.urls,
              (QList<QUrl>{QUrl::fromLocalFile(u"/srv/放送"_s), QUrl::fromLocalFile(QDir::currentPath())}));
}

#include "OptionPagesTest.moc"
