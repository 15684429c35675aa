// Feeds arbitrary bytes to the settings reader: it may not crash, and whatever it accepts must
// write back to a file that reads as the same record.
#include "settings/SettingsCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    auto record = settings::decode(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    if (!record) return 0;
    // Texts that did not decode cleanly come back as U+FFFD, which CP932 cannot hold.
    auto bytes = settings::encode(*record, &error);
    if (!bytes) return 0;
    auto back = settings::decode(*bytes, &error);
    if (!back || settings::encode(*back, &error) != bytes) std::abort();
    return 0;
}
