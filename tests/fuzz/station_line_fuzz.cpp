// SplitStationLine and StationSummary on arbitrary UTF-16 text: positions 0
// to 10 are always readable and no field is empty or a dropped "-" URL.
#include "data/station_record.h"

#include <cstdlib>

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string line(size / 2, u'\0');
    for (size_t i = 0; i < line.size(); ++i)
        line[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));

    const TStationRecord record = SplitStationLine(line);
    if (record.size() < 11) std::abort();
    if (!IsBareUrlEntry(line)) {
        const size_t fields = record.size() - 16;
        for (size_t i = 0; i < fields; ++i) {
            if (record[i].empty() || record[i].find(u'\t') != std::u16string::npos) std::abort();
            if (i >= 5 && record[i] == u"-") std::abort();
        }
    }
    (void)StationSummary(record);
    return 0;
}
