#include "fare/FareDigits.h"

#include <utility>

namespace fare {

std::vector<std::string> fareDigitWarnings(const std::vector<FareRecord>& records) {
    std::vector<std::string> warnings;
    for (size_t k = 0; k < records.size(); ++k) {
        const FareRecord& r = records[k];
        for (int cell = 1; cell <= Cells; ++cell) {
            const int fare = r.column(cell);
            if (fare == -1) continue; // a blank cell
            for (const auto& [when, shown] : {std::pair{"", fare}, std::pair{" at night", 2 * fare}}) {
                const std::string text = std::to_string(shown);
                if (text.size() <= static_cast<size_t>(FareCellDigits)) continue;
                warnings.push_back("record " + std::to_string(k + 1) + " (" + r.StopName + "), cell " +
                                   std::to_string(cell) + ": the fare " + text + when + " has " +
                                   std::to_string(text.size()) + " digits; the cell shows " +
                                   text.substr(text.size() - FareCellDigits));
                break; // the night's fare is longer still
            }
        }
    }
    return warnings;
}

} // namespace fare
