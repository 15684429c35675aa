// The program's icon comes out of its resources as a drawn picture at the sizes desktops ask for.
#include "app/ProgramIcon.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include <algorithm>

TEST(ProgramIcon, HoldsEveryThemeSizeAndDrawsTheBoardAtTheSmallestAndLargest) {
    const QIcon icon = programIcon();
    QList<int> sizes;
    for (const QSize& s : icon.availableSizes()) sizes << s.width();
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (QList<int>{16, 22, 24, 32, 48, 64, 128, 256}));

    for (const int size : {16, 256}) {
        SCOPED_TRACE(size);
        const QPixmap pixmap = icon.pixmap(QSize(size, size), 1.0);
        ASSERT_FALSE(pixmap.isNull());
        const QImage image = pixmap.toImage();
        EXPECT_EQ(image.size(), QSize(size, size));
        // The board's rounded frame leaves the corners clear and fills the middle.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
    }
}
