// Feeds arbitrary bytes to the CP932 codec both ways: it may not crash, and a decoded text that
// encodes again must decode to itself (CP932 has duplicate codes, so the bytes may differ).
#include "reslib/Cp932.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = cp932::toUtf8(bytes);
    if (const auto again = cp932::fromUtf8(text))
        if (cp932::toUtf8(*again) != text) std::abort();
    // The same bytes as UTF-8, as an author's text would come in; '?' stands for what CP932 lacks.
    const auto encoded = cp932::fromUtf8(bytes);
    const std::string lossy = cp932::fromUtf8Lossy(bytes);
    if (encoded && *encoded != lossy) std::abort();
    return 0;
}
