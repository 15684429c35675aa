#include "reslib/ui/Pickers.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// Runs `act` on the modal dialog once it is up, so a test never waits on a person.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(10, [act] {
        if (QWidget* w = QApplication::activeModalWidget())
            act(w);
        else
            whenModal(act);
    });
}
} // namespace

TEST(Pickers, FilterListAndTheFilePickersRequestAndAnswer) {
    const QByteArray sounds = filterList({{QStringLiteral("Waveサウンド(*.wav)"), QStringLiteral("*.wav")},
                                          {QStringLiteral("MP3サウンド(*.mp3)"), QStringLiteral("*.mp3")},
                                          {QStringLiteral("MIDIシーケンス(*.mid)"), QStringLiteral("*.mid")}});
    const char expected[] = "Wave\x83\x54\x83\x45\x83\x93\x83\x68(*.wav)\0*.wav\0"
                            "MP3\x83\x54\x83\x45\x83\x93\x83\x68(*.mp3)\0*.mp3\0"
                            "MIDI\x83\x56\x81\x5B\x83\x50\x83\x93\x83\x58(*.mid)\0*.mid\0\0";
    EXPECT_EQ(sounds, QByteArray(expected, sizeof expected - 1));

    std::vector<picker::Request> seen;
    picker::Answer answer{true, QStringLiteral("/home/運転士/a.wav")};
    picker::setHandler([&](const picker::Request& r) {
        seen.push_back(r);
        return answer;
    });
    EXPECT_EQ(Rv3FileDlg(nullptr, 0, sounds, {}, "\x82\xcc\x91\x49\x91\xf0"), // の選択
              QByteArray("/home/\x89\x5e\x93\x5d\x8e\x6d/a.wav"));
    EXPECT_EQ(seen[0].kind, picker::Kind::File);
    EXPECT_EQ(seen[0].title, QStringLiteral("の選択"));
    EXPECT_EQ(seen[0].nameFilters,
              QStringList({QStringLiteral("Waveサウンド(*.wav)"), QStringLiteral("MP3サウンド(*.mp3)"),
                           QStringLiteral("MIDIシーケンス(*.mid)")}));
    // A description without its pattern gets it; several patterns become Qt's space-separated list.
    Rv3FileDlg(nullptr, 0,
               filterList({{QStringLiteral("画像"), QStringLiteral("*.bmp;*.gif")},
                           {QStringLiteral("JPEG(*.jpg;*.jpeg)"), QStringLiteral("*.jpg;*.jpeg")}}),
               {}, {});
    EXPECT_EQ(seen[1].nameFilters,
              QStringList({QStringLiteral("画像 (*.bmp *.gif)"), QStringLiteral("JPEG(*.jpg *.jpeg)")}));
    answer.path = QStringLiteral("/home/한국/a.wav"); // no CP932 code: empty, never a path full of '?'
    EXPECT_TRUE(Rv3FileDlg(nullptr, 0, sounds, {}, {}).isEmpty());
    EXPECT_TRUE(Rv3FolderDlg(nullptr, {}).isEmpty());

    // Cancelled pickers leave every value as it was.
    answer = {false, QStringLiteral("/tmp"), 0x123456};
    answer.custom.fill(7);
    answer.date.wYear = 1999;
    int32_t colour = 0x00FF8000;
    CustomColorTable custom;
    custom.fill(0xFF);
    const CustomColorTable before = custom;
    SYSTEMTIME date{2020, 2, 6, 29};
    EXPECT_TRUE(Rv3FileDlg(nullptr, 0, sounds, {}, {}).isEmpty());
    EXPECT_TRUE(Rv3FolderDlg(nullptr, {}).isEmpty());
    EXPECT_EQ(Rv3ChooseColor(nullptr, colour, custom), 0);
    EXPECT_EQ(Call_dlg111(nullptr, date), 0);
    picker::setHandler({});
    EXPECT_EQ(colour, 0x00FF8000);
    EXPECT_EQ(custom, before);
    EXPECT_EQ(date.wYear, 2020);
}

TEST(Pickers, RealColourDialogConvertsColoursAndCarriesCustomColoursKeepingTheSeventeenth) {
    CustomColorTable custom;
    for (int i = 0; i < 17; ++i) custom[i] = 0x010000 * i + 0x40; // blue = index, red 0x40
    int32_t colour = 0x00332211;
    QColor offered, loaded;
    whenModal([&](QWidget* w) {
        auto* dlg = static_cast<QColorDialog*>(w);
        offered = dlg->currentColor();
        loaded = QColorDialog::customColor(15);
        dlg->setCurrentColor(QColor(0xAA, 0xBB, 0xCC));
        QColorDialog::setCustomColor(3, QColor(1, 2, 3));
        dlg->accept();
    });
    EXPECT_NE(Rv3ChooseColor(nullptr, colour, custom), 0);
    EXPECT_EQ(offered, QColor(0x11, 0x22, 0x33)); // red is the low byte
    EXPECT_EQ(loaded, QColor(0x40, 0, 15));
    EXPECT_EQ(colour, 0x00CCBBAA);
    EXPECT_EQ(custom[3], 0x030201);
    EXPECT_EQ(custom[15], 0x0F0040);
    EXPECT_EQ(custom[16], 0x100040);

    // A cancel keeps the table even when custom colours were changed in the dialog.
    whenModal([](QWidget* w) {
        QColorDialog::setCustomColor(0, Qt::white);
        static_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(Rv3ChooseColor(nullptr, colour, custom), 0);
    EXPECT_EQ(custom[0], 0x40);
    EXPECT_EQ(colour, 0x00CCBBAA);
}

TEST(Pickers, RealDateDialogGivesTheChosenDayWithItsWeekdayAndACancelKeepsTheRecord) {
    SYSTEMTIME date{};
    date.wHour = 9;
    auto choose = [](QDate day, QDialogButtonBox::StandardButton button) {
        whenModal([=](QWidget* w) {
            w->findChild<QCalendarWidget*>()->setSelectedDate(day);
            w->findChild<QDialogButtonBox*>()->button(button)->click();
        });
    };
    choose(QDate(2024, 4, 1), QDialogButtonBox::Ok);
    EXPECT_NE(Call_dlg111(nullptr, date), 0);
    EXPECT_EQ(date.wYear, 2024);
    EXPECT_EQ(date.wMonth, 4);
    EXPECT_EQ(date.wDay, 1);
    EXPECT_EQ(date.wDayOfWeek, 1);
    EXPECT_EQ(date.wHour, 0);

    choose(QDate(2025, 6, 1), QDialogButtonBox::Cancel);
    EXPECT_EQ(Call_dlg111(nullptr, date), 0);
    EXPECT_EQ(date.wYear, 2024);
    EXPECT_EQ(date.wDay, 1);
}
