#include "panel/WholePicture.h"

#include <cstdint>
#include <cstdlib>

namespace picture {
namespace {

uint32_t le(std::string_view b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | uint8_t(b[at + size_t(i)]);
    return v;
}

// The pixel array ends where its offset, row size and row count say.
bool bmpWhole(std::string_view b) {
    if (b.size() < 26) return false;
    const uint64_t offset = le(b, 10, 4);
    const uint32_t header = le(b, 14, 4);
    uint64_t width, height, bits, compression = 0, imageSize = 0;
    if (header == 12) {
        width = le(b, 18, 2);
        height = le(b, 20, 2);
        bits = le(b, 24, 2);
    } else {
        if (b.size() < 38) return false;
        width = le(b, 18, 4);
        height = uint64_t(std::llabs(int64_t(int32_t(le(b, 22, 4))))); // negative: top-down rows
        bits = le(b, 28, 2);
        compression = le(b, 30, 4);
        imageSize = le(b, 34, 4);
    }
    // Uncompressed rows (with or without bit-field masks) are padded to four bytes.
    const bool rows = compression == 0 || compression == 3 || compression == 6;
    const uint64_t data = rows ? (width * bits + 31) / 32 * 4 * height : imageSize;
    return offset + data <= b.size();
}

// The end-of-image marker follows the first scan. Segments before it (an Exif thumbnail, which is
// a whole JPEG of its own, among them) are stepped over by their lengths.
bool jpegWhole(std::string_view b) {
    size_t at = 2;
    for (;;) {
        while (at < b.size() && uint8_t(b[at]) == 0xFF) ++at; // fill bytes before a marker
        if (at >= b.size() || at < 3 || uint8_t(b[at - 1]) != 0xFF) return false;
        const uint8_t marker = uint8_t(b[at++]);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (marker == 0xD9 || at + 2 > b.size()) return false;
        const size_t length = size_t(uint8_t(b[at])) << 8 | uint8_t(b[at + 1]);
        at += length;
        if (marker == 0xDA) return at <= b.size() && b.find("\xFF\xD9", at) != std::string_view::npos;
    }
}

// Blocks of image data and extensions, each a chain of sub-blocks, up to the trailer.
bool gifWhole(std::string_view b) {
    if (b.size() < 13) return false;
    auto colourTable = [](uint8_t packed) { return packed & 0x80 ? size_t(3) << ((packed & 7) + 1) : 0; };
    size_t at = 13 + colourTable(uint8_t(b[10]));
    auto subBlocks = [&] {
        while (at < b.size()) {
            const size_t length = uint8_t(b[at++]);
            if (length == 0) return true;
            at += length;
        }
        return false;
    };
    while (at < b.size()) {
        switch (uint8_t(b[at])) {
        case 0x3B: return true;
        case 0x21:
            at += 2;
            if (!subBlocks()) return false;
            break;
        case 0x2C:
            if (at + 11 > b.size()) return false;
            at += 10 + colourTable(uint8_t(b[at + 9])) + 1; // descriptor, local colours, LZW code size
            if (!subBlocks()) return false;
            break;
        default: return false;
        }
    }
    return at == b.size(); // the last block complete, only the trailer left out
}

} // namespace

bool endsWhole(std::string_view file) {
    if (file.starts_with("BM")) return bmpWhole(file);
    if (file.starts_with("\xFF\xD8")) return jpegWhole(file);
    if (file.starts_with("GIF87a") || file.starts_with("GIF89a")) return gifWhole(file);
    return true;
}

} // namespace picture
