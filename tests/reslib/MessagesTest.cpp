#include "reslib/ui/Messages.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

TEST(Messages, BoxesCarryTheirTitleTextIconAndJapaneseButtons) {
    auto question = msg::build(nullptr, {QStringLiteral("Ferioの終了確認"), QStringLiteral("Ferioを終了しますか？"),
                                         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
    EXPECT_EQ(question->windowTitle(), QStringLiteral("Ferioの終了確認"));
    EXPECT_EQ(question->text(), QStringLiteral("Ferioを終了しますか？"));
    EXPECT_EQ(question->icon(), QMessageBox::Question);
    ASSERT_EQ(question->buttons().size(), 2);
    EXPECT_EQ(question->button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(question->button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));

    auto plain = msg::build(nullptr, {msg::AppTitle, QStringLiteral("指定した系統のデータがありません...")});
    EXPECT_EQ(plain->windowTitle(), QStringLiteral("FerioVer4"));
    EXPECT_EQ(plain->icon(), QMessageBox::NoIcon);
    ASSERT_EQ(plain->buttons().size(), 1);
    EXPECT_EQ(plain->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
}

TEST(Messages, AHandlerReplacesTheBoxAndAnswersForIt) {
    std::vector<msg::Request> seen;
    msg::setHandler([&](const msg::Request& r) {
        seen.push_back(r);
        return QMessageBox::No;
    });
    EXPECT_EQ(msg::show(nullptr, {msg::AppTitle, QStringLiteral("x"), QMessageBox::Question,
                                  QMessageBox::Yes | QMessageBox::No}),
              QMessageBox::No);
    msg::info(nullptr, QStringLiteral("オーバーフローしました。"));
    msg::setHandler({});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].title, QStringLiteral("FerioVer4"));
    EXPECT_EQ(seen[1].text, QStringLiteral("オーバーフローしました。"));
    EXPECT_EQ(seen[1].buttons, QMessageBox::Ok);
}
