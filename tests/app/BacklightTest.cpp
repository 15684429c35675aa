#include "panel/Backlight.h"
#include "BoardParts.h"
#include "PanelFixture.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QRadioButton>

namespace {

QColor labelColour(const Form1& board, int cell) {
    return lblSeiriNum(board, cell)->palette().color(QPalette::WindowText);
}

} // namespace

struct BacklightTest : PanelTest {
    // ON1 is the selected state, so that applying options keeps to it (the frame is hidden
    // from the operator, but the buttons are there).
    BacklightTest() { find<QRadioButton>("Option4_1")->setChecked(true); }
    QString path(const char* name) { return QDir(dir.path()).filePath(QString::fromLatin1(name)); }
    void useOwnPicture(const QString& file, int32_t labelColour) {
        changeOptions([&](OptionInfo& o) {
            o.PanelAuto = 0;
            o.PanelIndividual = -1;
            o.PanelOn1Builtin = 0;
            o.PanelOn1User = -1;
            o.PanelOn1File = file.toStdString();
            o.SeiriNumColorOn1 = labelColour;
        });
    }
};

TEST_F(BacklightTest, BuiltInPicturesAndLabelColours) {
    changeOptions([](OptionInfo& o) { o.SeiriNumColorOn1 = 0x00FF00; });
    ferio.Option4_Click(1);
    EXPECT_EQ(board.picture().cacheKey(), board.imgRes(1).cacheKey());
    EXPECT_EQ(labelColour(board, 1), QColor(0, 255, 0));
    EXPECT_EQ(labelColour(board, 32), QColor(0, 255, 0));
    // Automatic panels ignore the user's own picture.
    changeOptions([&](OptionInfo& o) {
        o.PanelOn1Builtin = 0;
        o.PanelOn1User = -1;
        o.PanelOn1File = path("missing.bmp").toStdString();
    });
    ferio.Option4_Click(1);
    EXPECT_EQ(board.picture().cacheKey(), board.imgRes(1).cacheKey());
    EXPECT_TRUE(messages.empty());
}

TEST_F(BacklightTest, OwnPictureIsLoadedAndAMissingOneKeepsThePrevious) {
    QImage face(643, 240, QImage::Format_RGB32);
    face.fill(QColor(10, 20, 30));
    ASSERT_TRUE(face.save(path("face.bmp")));
    useOwnPicture(path("face.bmp"), 0xFFFFFF);
    ferio.Option4_Click(1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(board.picture().toImage().pixelColor(100, 100), QColor(10, 20, 30));

    const qint64 shown = board.picture().cacheKey();
    useOwnPicture(path("gone.bmp"), 0x0000FF);
    ferio.Option4_Click(1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(board.picture().cacheKey(), shown);
    EXPECT_EQ(labelColour(board, 5), QColor(255, 0, 0));
}

TEST_F(BacklightTest, UnusableFilesGiveTheirCodedMessageAndStillRecolour) {
    QFile text(path("notes.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all");
    text.close();
    const qint64 shown = board.picture().cacheKey();
    useOwnPicture(path("notes.jpg"), 0x00FFFF);
    // Taking the options in re-applies the selected state, which meets the bad file already.
    ASSERT_EQ(messages.size(), 1u);
    messages.clear();
    ferio.Option4_Click(1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "エラー");
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(messages[0].text,
              "エラーです。\r\n\r\nエラーコード：481　指定した画像の内容が不正です。この部分では扱えません。");
    EXPECT_EQ(board.picture().cacheKey(), shown);
    EXPECT_EQ(labelColour(board, 1), QColor(255, 255, 0));

    // A picture cut short would show half of it and black or grey below.
    QImage face(643, 240, QImage::Format_RGB32);
    face.fill(QColor(10, 20, 30));
    ASSERT_TRUE(face.save(path("whole.jpg")));
    QFile whole(path("whole.jpg")), cut(path("cut.jpg"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
    cut.write(whole.read(whole.size() / 2));
    cut.close();
    useOwnPicture(path("cut.jpg"), 0x00FFFF);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, messages[0].text) << "481";
    EXPECT_EQ(board.picture().cacheKey(), shown);
    messages.pop_back();

    // A folder named like a picture is no picture file: like a missing one, silent.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    useOwnPicture(path("folder.bmp"), 0x00FFFF);
    ferio.Option4_Click(1);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(board.picture().cacheKey(), shown);
    EXPECT_EQ(backlight::errorText(75),
              "エラーです。\r\n\r\nエラーコード：75　画像ファイルが見つからないか、指定している場所が不正です。");
}
