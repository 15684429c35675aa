#include "Barcodes.h"
#include "reslib/Cp932.h"
#include "reslib/plugin/Rv4.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <cstring>

namespace {

QByteArray sample(const char* name) { return QByteArray(FERIO_SAMPLES_DIR "/") + name; }
const QByteArray kNotAPlugin = FERIO_SOURCE_DIR "/samples/12.csv";

std::vector<int32_t> record(const PlgInfo& info) {
    std::vector<int32_t> v(14);
    std::memcpy(v.data(), &info, sizeof info);
    return v;
}

QByteArray sjis(const char* utf8) { return QByteArray::fromStdString(cp932::fromUtf8Lossy(utf8)); }

// The ticket drawn at `scale` times its size onto a grey image.
QImage ticket(const QByteArray& plugin, int16_t stop, int scale = 1, const QByteArray& stopName = sjis("県立病院前")) {
    PlgInfo info{};
    RV4_GetPlgInfo(plugin, info);
    QImage image(info.width * scale, info.height * scale, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter p(&image);
    p.scale(scale, scale);
    RV4_DrawSeiriken(plugin, &p, stopName, "05-01-2024", "09:05:07", 105, 12, stop, 1);
    return image;
}

} // namespace

TEST(TicketLibrary, SamplesDescribeThemselves) {
    PlgInfo info{};
    ASSERT_EQ(RV4_GetPlgInfo(sample("plain.4SP"), info), 1);
    EXPECT_EQ(record(info), (std::vector<int32_t>{1, 224, 96, 1, 0, 0, 1, 0, 0, 999, 1, 1, 300, 0}));
    ASSERT_EQ(RV4_GetPlgInfo(sample("barcode.4SP"), info), 1);
    EXPECT_EQ(record(info), (std::vector<int32_t>{1, 256, 120, 1, 1, 1, 1, 1, 2, 999, 1, 1, 300, 0}));
    ASSERT_EQ(RV4_GetPlgInfo(sample("companies.4SP"), info), 1);
    EXPECT_EQ(record(info), (std::vector<int32_t>{1, 240, 100, 1, 1, 1, 1, 0, 0, 999, 1, 1, 300, 3}));

    PlgInfo untouched{};
    EXPECT_EQ(RV4_GetPlgInfo(kNotAPlugin, untouched), 0);
    EXPECT_EQ(record(untouched), std::vector<int32_t>(14, 0));

    QComboBox list;
    RV4_SetCorpAddList(sample("companies.4SP"), &list);
    EXPECT_EQ(list.currentIndex(), -1) << "no company until the operator picks one";
    list.clear();
    list.addItem(QStringLiteral("kept"));
    RV4_SetCorpAddList(sample("companies.4SP"), &list);
    RV4_SetCorpAddList(sample("plain.4SP"), &list);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.itemText(1), QStringLiteral("ひかり野交通"));
    EXPECT_EQ(list.itemText(3), QStringLiteral("みずほ台乗合自動車"));
    EXPECT_EQ(list.currentIndex(), 0);

    QPlainTextEdit comment(QStringLiteral("old"));
    RV4_SetPlgComment(kNotAPlugin, &comment);
    EXPECT_EQ(comment.toPlainText(), QStringLiteral("old"));
    RV4_SetPlgComment(sample("companies.4SP"), &comment);
    EXPECT_EQ(comment.toPlainText(), QStringLiteral("見本：社名を3社から切り替えられる整理券です。\n"
                                                    "社名は操作パネルの社名リストで選びます。"));
}

TEST(TicketLibrary, BarcodeSampleScansBackAsRouteStopAndTicket) {
    const auto found = scanBarcodes(ticket(sample("barcode.4SP"), 7, 3));
    if (!found) GTEST_SKIP() << "zbarimg is not installed";
    EXPECT_EQ(*found, (QStringList{QStringLiteral("Codabar:A012A"), QStringLiteral("I2/5:105007")}));
}

TEST(TicketLibrary, TicketFollowsTheStop) {
    const QImage at7 = ticket(sample("barcode.4SP"), 7);
    EXPECT_EQ(at7.pixelColor(0, 0), QColor(Qt::white)) << "the paper is white to its corner";
    EXPECT_EQ(at7.pixelColor(1, 1), QColor(Qt::black)) << "inside the frame";
    EXPECT_NE(at7, ticket(sample("barcode.4SP"), 8));

    // Beyond the printer's last stop the barcode carrying the stop is left out; the ticket's stays.
    const QImage beyond = ticket(sample("barcode.4SP"), 301);
    QImage white(120, 30, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(beyond.copy(6, 85, 120, 30), white);
    EXPECT_EQ(beyond.copy(130, 85, 120, 30), at7.copy(130, 85, 120, 30));

    QImage none(10, 10, QImage::Format_RGB32);
    none.fill(Qt::gray);
    QPainter p(&none);
    RV4_DrawSeiriken(kNotAPlugin, &p, "", "", "", 1, 1, 1, -1);
    EXPECT_EQ(none.pixelColor(5, 5), QColor(Qt::gray)) << "no plugin, no drawing";
}

TEST(TicketLibrary, ALongNameIsSqueezedDownToAPixelACharacterAndCutThere) {
    // The sample's stop name is printed in a box 160 pixels wide.
    const auto withName = [](const std::string& utf8) {
        return ticket(sample("barcode.4SP"), 7, 1, sjis(utf8.c_str()));
    };
    std::string fills;
    for (int i = 0; i < 159; ++i) fills += "駅";
    const QImage full = withName(fills + "駅");
    EXPECT_NE(full, withName(fills)) << "the 160th character is printed";
    std::string longest = fills + "駅";
    while (longest.size() < 65535) longest += "前";
    EXPECT_EQ(full, withName(longest)) << "what follows it is not";
}
