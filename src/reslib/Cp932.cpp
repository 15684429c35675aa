#include "reslib/Cp932.h"

#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <iconv.h>
#include <map>
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

// Characters CP932 has no code for, and what is written instead: their look-alikes in CP932.
const std::map<UChar32, const char*> Substitutes = {
    {U'\u00A0', " "},    {U'\u9DD7', "鴎"},   {U'\U00020BB7', "吉"}, {U'\U0002123D', "土"}, {U'\u5861', "填"},
    {U'\u9EB5', "麺"},   {U'\u5C5B', "屏"},   {U'\u525D', "剥"},     {U'\u9830', "頬"},     {U'\u30F7', "ヴァ"},
    {U'\u30F8', "ヴィ"}, {U'\u30F9', "ヴェ"}, {U'\u30FA', "ヴォ"},
};

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

std::string compatible(std::string_view utf8) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfkc = unorm2_getNFKCInstance(&status);
    // UTF-8 to UTF-16 never grows the count of units; NFKC grows a text by at most 18 times.
    std::u16string in(utf8.size() + 1, u'\0'), out;
    int32_t length = 0;
    u_strFromUTF8WithSub(in.data(), static_cast<int32_t>(in.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    in.resize(static_cast<size_t>(length));
    out.resize(in.size() * 18 + 1);
    length = unorm2_normalize(nfkc, in.data(), static_cast<int32_t>(in.size()), out.data(),
                              static_cast<int32_t>(out.size()), &status);
    std::string result(static_cast<size_t>(length) * 3 + 1, '\0');
    int32_t bytes = 0;
    u_strToUTF8(result.data(), static_cast<int32_t>(result.size()), &bytes, out.data(), length, &status);
    if (U_FAILURE(status)) throw std::runtime_error(std::string("ICU cannot normalise: ") + u_errorName(status));
    result.resize(static_cast<size_t>(bytes));
    return result;
}

std::string substitute(std::string_view utf8, std::vector<std::string>* changes) {
    std::string out;
    for (int32_t i = 0, length = static_cast<int32_t>(utf8.size()); i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(utf8.data(), i, length, c);
        std::string one(utf8.substr(static_cast<size_t>(start), static_cast<size_t>(i - start)));
        if (c < 0) {
            c = 0xFFFD;
            one = "\uFFFD";
        }
        if (fromUtf8(one)) {
            out += one;
            continue;
        }
        std::string instead = "〓";
        if (const auto s = Substitutes.find(c); s != Substitutes.end())
            instead = s->second;
        else if (const std::string compatibleForm = compatible(one); compatibleForm != one && fromUtf8(compatibleForm))
            instead = compatibleForm;
        if (changes) {
            char code[16];
            std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(c));
            std::string said(1, '"');
            said.append(utf8).append("\": ").append(one).append(" (U+").append(code);
            changes->push_back(said + ") has no CP932 code and is written " + instead);
        }
        out += instead;
    }
    return out;
}

} // namespace cp932
