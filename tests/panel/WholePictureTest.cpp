// Picture files cut short, in each format whose reader would show them half-decoded.
#include "panel/WholePicture.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QByteArray encoded(const char* format, QImage::Format pixels = QImage::Format_RGB32) {
    QImage image(37, 23, pixels); // odd sizes: BMP rows carry padding
    image.fill(QColor(200, 120, 40));
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    image.save(&out, format);
    return bytes;
}

bool whole(const QByteArray& b) { return picture::endsWhole(std::string_view(b.constData(), size_t(b.size()))); }

// A 1×1 GIF: header, screen, two colours, a graphic-control extension, one image, the trailer.
const QByteArray Gif = QByteArray::fromHex("474946383961"
                                           "01000100800000"
                                           "ffffff000000"
                                           "21f9040100000000"
                                           "2c000000000100010000"
                                           "02"
                                           "02440100"
                                           "3b");

} // namespace

TEST(WholePicture, AFileCutAnywhereInItsImageDataIsNotWhole) {
    struct Case {
        const char* what;
        QByteArray file;
    } cases[] = {
        {"BMP, 24-bit", encoded("BMP")},
        {"BMP, 8-bit indexed", encoded("BMP", QImage::Format_Indexed8)},
        {"JPEG", encoded("JPEG")},
        {"GIF", Gif},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.file.isEmpty()) << c.what;
        EXPECT_TRUE(whole(c.file)) << c.what;
        for (const qsizetype cut : {c.file.size() - 2, c.file.size() * 9 / 10, c.file.size() / 2, qsizetype(14)})
            EXPECT_FALSE(whole(c.file.left(cut))) << c.what << ", " << cut << " of " << c.file.size() << " bytes";
    }
    EXPECT_FALSE(whole(encoded("BMP").chopped(1))) << "one byte short";
    EXPECT_FALSE(whole(encoded("JPEG").chopped(1))) << "the end-of-image marker cut";
    EXPECT_TRUE(whole(Gif.chopped(1))) << "a GIF whose last block is whole, only the trailer missing";
    EXPECT_TRUE(whole(encoded("JPEG") + QByteArray(100, '\0'))) << "bytes after the end of the image";
}

TEST(WholePicture, OtherFormatsAreLeftToTheirReaders) {
    EXPECT_TRUE(whole(encoded("PNG").left(40)));
    EXPECT_TRUE(whole("not a picture"));
}
