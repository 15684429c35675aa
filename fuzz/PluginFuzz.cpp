// Feeds arbitrary bytes to the ticket-plugin parser. It may not crash; whatever it accepts must fill
// the record within the field table's ranges and keep every item on the ticket, and filling in an
// accepted plugin's texts and barcodes may not crash either.
#include "reslib/plugin/TicketPlugin.h"

#include <cstdlib>

using namespace ticketplugin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto plugin = parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!plugin) return 0;
    const PlgInfo& info = plugin->info;
    for (const auto& f : recordFields())
        if (info.*f.member < f.min || info.*f.member > f.max) std::abort();
    if (std::size_t(info.companyCount) != plugin->companies.size()) std::abort();

    const TicketData ticket{"本町", "05-01-2024", "09:05:07", 105, 12, 7, "会社"};
    for (const Item& item : plugin->layout) {
        if (item.x < 0 || item.y < 0 || item.w < 1 || item.h < 1 || item.x + item.w > info.width ||
            item.y + item.h > info.height)
            std::abort();
        if (item.kind == Item::Text) (void)expand(item.text, ticket);
        if (item.kind != Item::Barcode) continue;
        if (const auto digits = barcodeDigits(info, item, ticket))
            for (char c : *digits)
                if (c < '0' || c > '9') std::abort();
    }
    return 0;
}
