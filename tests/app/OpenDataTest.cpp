// The open-data dialog driven as an operator drives it, on the town feed, over the program as
// it is wired: what it lists and previews, what it writes, and where the board is afterwards.
#include "PanelFixture.h"
#include "opendataui/RouteFolder.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeWidget>

namespace {

const QString Town = QStringLiteral(FERIO_GTFS_TOWN);

struct OpenDataTest : PanelTest {
    OpenDataDialog* dialog = nullptr;
    QTreeWidget* routes = nullptr;

    void open(const QString& feed) {
        dialog = &ferio.openData(feed);
        routes = dialog->findChild<QTreeWidget*>(QStringLiteral("routes"));
    }
    void waitListed() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return routes->topLevelItemCount() > 0; }, 10000))
            << "waited for the feed's routes to be listed";
    }
    void waitMessage() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 10000)) << "waited for a message";
    }
    QStringList shownRoutes() const {
        QStringList shown;
        for (int i = 0; i < routes->topLevelItemCount(); ++i)
            if (!routes->topLevelItem(i)->isHidden()) shown << routes->topLevelItem(i)->text(0);
        return shown;
    }
    QString cell(int row, int column) const {
        return dialog->findChild<QTableWidget*>(QStringLiteral("preview"))->item(row, column)->text();
    }
    QString number() const { return dialog->findChild<QLineEdit*>(QStringLiteral("number"))->text(); }
    QLineEdit* filter() const { return dialog->findChild<QLineEdit*>(QStringLiteral("filter")); }
    QString file(const char* name) const { return QDir(dir.path()).filePath(QString::fromLatin1(name)); }
    // A copy of the town feed with one table replaced (an empty text: left out).
    QString townWith(QTemporaryDir& copy, const char* table, const QByteArray& text) {
        for (const QString& name : QDir(Town).entryList(QDir::Files))
            QFile::copy(QDir(Town).filePath(name), copy.filePath(name));
        QFile::remove(copy.filePath(QString::fromLatin1(table)));
        if (!text.isEmpty()) {
            QFile f(copy.filePath(QString::fromLatin1(table)));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        return copy.path();
    }
};

TEST_F(OpenDataTest, FindsARouteByAStopAndAddsItWithEnter) {
    open(Town);
    waitListed();
    EXPECT_TRUE(filter()->hasFocus() || !QApplication::focusWidget()); // offscreen windows may hold no focus
    filter()->insert(QStringLiteral("市役所"));                        // as typed: keyClicks knows ASCII keys only
    EXPECT_EQ(shownRoutes(), QStringList{"33"});
    // The most used pattern of direction 0: 35 stops to 湖畔ホテル, with the feed's readings and
    // fares by zone, the route's own fare for the whole ride.
    auto* preview = dialog->findChild<QTableWidget*>(QStringLiteral("preview"));
    ASSERT_EQ(preview->rowCount(), 35);
    const std::vector<std::array<QString, 4>> rows{{"0", "中央駅", "チュウオウエキ", "—"},
                                                   {"1", "市役所前", "", "180 円"},
                                                   {"10", "新橋", "", "220 円"},
                                                   {"28", "長谷", "ハセ", "260 円"},
                                                   {"34", "湖畔ホテル", "コハンホテル", "350 円"}};
    for (const auto& [row, name, reading, fare] : rows) {
        SCOPED_TRACE(row.toStdString());
        EXPECT_EQ(cell(row.toInt(), 0), name);
        EXPECT_EQ(cell(row.toInt(), 1), reading);
        EXPECT_EQ(cell(row.toInt(), 2), fare);
    }
    EXPECT_EQ(number(), "33");
    QTest::keyClick(filter(), Qt::Key_Return);
    EXPECT_TRUE(messages.empty());
    for (const char* name : {"33.hy3", "33tp.csv", "readings.tsv"}) EXPECT_TRUE(QFile::exists(file(name))) << name;
    EXPECT_EQ(ferio.engine().state().RouteText, "33");
    EXPECT_EQ(ferio.engine().state().StopCount, 35);
    EXPECT_EQ(ferio.engine().state().CurrentStop, 0);
    EXPECT_EQ(board.shownChimei(), "中央駅");
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(OpenDataTest, ATakenNumberIsReplacedOnlyWhenTheOperatorSaysSo) {
    writeRoute(33, 3);
    writeRoute(1, 3);
    open(Town);
    waitListed();
    filter()->insert(QStringLiteral("湖畔")); // as typed: keyClicks knows ASCII keys only
    EXPECT_EQ(number(), "2");                 // 33 is taken: the lowest free number
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("number"));
    field->setText(QStringLiteral("33"));
    const QByteArray before = [&] {
        QFile f(file("33.hy3"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    answer = QMessageBox::No;
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "系統 33 はすでにあります。置き換えますか？");
    QFile kept(file("33.hy3"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), before);
    EXPECT_FALSE(QFile::exists(file("33tp.csv")));
    EXPECT_TRUE(dialog->isVisible());
    answer = QMessageBox::Yes;
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(QFile::exists(file("33tp.csv")));
    EXPECT_EQ(ferio.engine().state().StopCount, 35);
}

TEST_F(OpenDataTest, ACancelledOrFailedReadWritesNothingAndKeepsTheListedFeed) {
    QTemporaryDir notGtfs, badTrips, noFares;
    townWith(badTrips, "trips.txt", "route_id,service_id,trip_id,direction_id\nR1,all,T101,2\n");
    // Cancelled at once, then replaced by a feed that is no GTFS feed: nothing is listed.
    open(Town);
    dialog->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    EXPECT_FALSE(dialog->reading());
    dialog->openFeed(Town);
    dialog->openFeed(notGtfs.path());
    waitMessage();
    EXPECT_TRUE(messages.back().text.endsWith(": the feed has no routes.txt: it is no GTFS feed"))
        << messages.back().text.toStdString();
    EXPECT_EQ(routes->topLevelItemCount(), 0);
    // A damaged table is named with its line and field; the feed read before stays listed.
    dialog->openFeed(Town);
    waitListed();
    messages.clear();
    dialog->openFeed(badTrips.path());
    waitMessage();
    EXPECT_EQ(messages.back().text,
              QDir::toNativeSeparators(badTrips.path()) + ": trips.txt: line 2: direction_id \"2\" is neither 0 nor 1");
    EXPECT_EQ(shownRoutes(), (QStringList{"1", "33"}));
    // Without fare rules the preview says so and shows no fares.
    messages.clear();
    dialog->openFeed(townWith(noFares, "fare_rules.txt", {}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->reading(); }, 10000)) << "waited for the read to end";
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(cell(1, 2), "なし");
    EXPECT_TRUE(dialog->findChild<QPlainTextEdit*>(QStringLiteral("warnings"))
                    ->toPlainText()
                    .contains("the feed has no fare_rules.txt"));
    QTest::keyClick(filter(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QDir(dir.path()).entryList({"*.hy3", "*.csv", "*.tsv"}, QDir::Files), QStringList{});
}

// The agency column would repeat one name on every line: it is shown only for several agencies.
TEST_F(OpenDataTest, TheAgencyIsListedOnlyWhenTheFeedHasSeveral) {
    QTemporaryDir agencies;
    townWith(agencies, "agency.txt", "agency_id,agency_name\nminato,みなと市営バス\nkohan,湖畔交通\n");
    townWith(agencies, "routes.txt",
             "route_id,agency_id,route_short_name,route_long_name\nR1,minato,1,港線\nR33,kohan,33,湖畔線\n");
    open(Town);
    waitListed();
    EXPECT_TRUE(routes->isColumnHidden(4));
    routes->clear();
    dialog->openFeed(agencies.path());
    waitListed();
    EXPECT_FALSE(routes->isColumnHidden(4));
    EXPECT_EQ(routes->headerItem()->text(4), "事業者");
    EXPECT_EQ(routes->topLevelItem(1)->text(4), "湖畔交通");
}

TEST(RouteFolder, ProposesTheShortNameWhenItIsAFreeNumber) {
    const std::set<int> used{1, 2, 33};
    const std::vector<std::pair<std::string, int>> cases{{"7", 7},      {"00012", 12}, {"33", 3}, {"A1", 3},
                                                         {"123456", 3}, {"0", 3},      {"", 3}};
    for (const auto& [name, proposed] : cases) EXPECT_EQ(opendataui::proposeNumber(name, used), proposed) << name;
}

TEST(RouteFolder, AFolderOfTheUsersOwnGetsTheSamplesCopiedIn) {
    QTemporaryDir samples, home;
    for (const char* name : {"12.hy3", "12tp.csv", "readings.tsv", "notes.txt"})
        QFile(samples.filePath(name)).open(QIODevice::WriteOnly);
    EXPECT_EQ(opendataui::routeFolder(QString()), opendataui::userRouteFolder());
    EXPECT_EQ(opendataui::routeFolder(home.path()), home.path());
    const QString made = home.filePath(QStringLiteral("a/routes"));
    EXPECT_EQ(opendataui::makeRouteFolder(made, {samples.path()}), QString());
    EXPECT_EQ(QDir(made).entryList(QDir::Files), (QStringList{"12.hy3", "12tp.csv", "readings.tsv"}));
    EXPECT_EQ(opendataui::routeNumbers(made), std::set<int>{12});
}

} // namespace
