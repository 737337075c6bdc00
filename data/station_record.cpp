#include "data/station_record.h"

namespace lumaro {

namespace {
constexpr size_t kTrailingEmpties = 16;
constexpr size_t kBareRecordSize = 11;
constexpr size_t kFirstUrlField = 5;
} // namespace

bool IsBareUrlEntry(std::u16string_view text) {
    const size_t at = text.find(u"://");
    return at == std::u16string_view::npos || at < 6;
}

void SplitStationLine(std::u16string_view text, TStationRecord& record) {
    record.clear();
    if (IsBareUrlEntry(text)) {
        record.resize(kBareRecordSize);
        record[0] = text;
        record[kFirstUrlField] = text;
        return;
    }
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        while (i < n && text[i] == u'\t')
            ++i;
        if (i == n) break;
        const size_t start = i;
        while (i < n && text[i] != u'\t')
            ++i;
        record.emplace_back(text.substr(start, i - start));
    }
    record.resize(record.size() + kTrailingEmpties);
    for (size_t pos = record.size(); pos-- > kFirstUrlField;) {
        if (record[pos] == u"-") record.erase(record.begin() + static_cast<std::ptrdiff_t>(pos));
    }
}

std::u16string TrimWide(std::u16string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] <= u' ')
        ++b;
    while (e > b && text[e - 1] <= u' ')
        --e;
    return std::u16string(text.substr(b, e - b));
}

std::u16string StationSummary(const TStationRecord& record) {
    auto field = [&record](size_t i) { return i < record.size() ? TrimWide(record[i]) : std::u16string(); };
    std::u16string s = field(0);
    s += u"   ";
    s += field(1);
    s += u"     Style: ";
    s += field(2);
    s += u"    Country: ";
    s += field(3);
    s += u"    Language: ";
    s += field(4);
    s += u"      ";
    return s;
}

} // namespace lumaro
