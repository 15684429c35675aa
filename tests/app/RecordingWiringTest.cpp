// The board's menu reaches a live recording through the program: started, shown in the title,
// stopped into a finished file; a refused file is said in a message.
#include "PanelFixture.h"

#include <QElapsedTimer>
#include <QFileInfo>

TEST_F(PanelTest, TheBoardsMenuRecordsTheBoardUntilItIsStopped) {
    const QString caption = board.windowTitle();
    const QString path = dir.filePath(QStringLiteral("ride.mkv"));
    emit board.recordRequested(path);
    ASSERT_TRUE(ferio.recording());
    EXPECT_EQ(board.windowTitle(), caption + QStringLiteral("（録画中）"));
    // A cluster reaches the disk once a second of pictures has been encoded.
    const qint64 header = QFileInfo(path + ".part").size();
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(path + ".part").size() <= header + 1000 && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_GT(QFileInfo(path + ".part").size(), header + 1000) << "no second of pictures written within 30 s";

    emit board.recordStopRequested();
    EXPECT_FALSE(ferio.recording());
    EXPECT_EQ(board.windowTitle(), caption);
    EXPECT_FALSE(QFile::exists(path + ".part"));
    EXPECT_GT(QFileInfo(path).size(), header + 1000);
    EXPECT_TRUE(messages.empty());

    const QString refused = dir.filePath(QStringLiteral("ride.avi"));
    emit board.recordRequested(refused);
    EXPECT_FALSE(ferio.recording());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("録画できるのは .mp4 と .mkv のファイルです：") + refused);
}
