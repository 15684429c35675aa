// Feeds arbitrary bytes to the check that a panel picture is whole: it may not crash or read
// past the file, whatever its headers claim.
#include "panel/WholePicture.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    picture::endsWhole(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
