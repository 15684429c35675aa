#include "reslib/Cp932.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace cp932 {
namespace {

// One conversion descriptor per direction and thread; iconv_open is far too slow per call.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; onBad(in, left, out) is asked what to do with an input sequence that
    // cannot be converted and returns how many input bytes to skip (0 = give up).
    template <typename OnBad>
    bool run(std::string_view in, std::string& out, OnBad onBad) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        while (left > 0) {
            char* dst = buf_.data();
            size_t room = buf_.size();
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf_.data(), dst);
            if (r != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            size_t skip = onBad(std::string_view(src, left), out);
            if (skip == 0) return false;
            src += skip;
            left -= skip;
        }
        char* dst = buf_.data();
        size_t room = buf_.size();
        iconv(cd_, nullptr, nullptr, &dst, &room);
        out.append(buf_.data(), dst);
        // Grown by appending, a long text holds up to twice its size: 301 stop names of
        // 96 KB kept 39 MB instead of 29.
        out.shrink_to_fit();
        return true;
    }

private:
    iconv_t cd_;
    // Each call of glibc's iconv costs tens of microseconds whatever it converts, so a large
    // text is converted in large pieces: 512 bytes at a time took 3 s for a 20 MB route.
    std::array<char, 64 * 1024> buf_;
};

Converter& decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

size_t utf8SequenceLength(std::string_view s) {
    unsigned char c = static_cast<unsigned char>(s[0]);
    size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    return n <= s.size() ? n : s.size();
}

} // namespace

std::string toUtf8(std::string_view bytes) {
    std::string out;
    decoder().run(bytes, out, [](std::string_view bad, std::string& o) {
        o += "\xEF\xBF\xBD";
        // An undefined double-byte code is one unknown character; a lead byte without a trail
        // byte stands alone and what follows it is read again.
        auto u = [&](size_t i) { return static_cast<unsigned char>(bad[i]); };
        bool lead = (u(0) >= 0x81 && u(0) <= 0x9F) || (u(0) >= 0xE0 && u(0) <= 0xFC);
        bool trail = bad.size() > 1 && u(1) >= 0x40 && u(1) <= 0xFC && u(1) != 0x7F;
        return size_t{lead && trail ? 2u : 1u};
    });
    return out;
}

std::optional<std::string> toUtf8Strict(std::string_view bytes) {
    std::string out;
    if (!decoder().run(bytes, out, [](std::string_view, std::string&) { return size_t{0}; })) return std::nullopt;
    return out;
}

bool isUtf8(std::string_view bytes) {
    thread_local Converter check("UTF-8", "UTF-8");
    std::string out;
    return check.run(bytes, out, [](std::string_view, std::string&) { return size_t{0}; });
}

std::optional<std::string> fromUtf8(std::string_view utf8) {
    std::string out;
    if (!encoder().run(utf8, out, [](std::string_view, std::string&) { return size_t{0}; })) return std::nullopt;
    return out;
}

std::string fromUtf8Lossy(std::string_view utf8) {
    std::string out;
    encoder().run(utf8, out, [](std::string_view bad, std::string& o) {
        o += '?';
        return utf8SequenceLength(bad);
    });
    return out;
}

} // namespace cp932
