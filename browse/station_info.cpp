#include "browse/station_info.h"

namespace lumaro {

std::optional<TStationInfoContent> MakeStationInfo(const TStationRecord& record) {
    if (record.size() < 2) return std::nullopt;
    auto field = [&record](size_t i) { return i < record.size() ? record[i] : std::u16string(); };
    TStationInfoContent info;
    info.Name = u" " + field(0);
    info.Style = u" " + field(2);
    info.Country = u" " + field(3);
    info.Language = u" " + field(4);
    static constexpr std::u16string_view kMarker = u"<newline>";
    const std::u16string description = field(1);
    size_t at = 0;
    for (size_t hit; (hit = description.find(kMarker, at)) != std::u16string::npos; at = hit + kMarker.size()) {
        info.Description.append(description, at, hit - at);
        info.Description += u"\r\n";
    }
    info.Description.append(description, at);
    for (size_t i = 5; i <= 10; ++i) {
        if (field(i).size() > 4) info.Urls.push_back(field(i));
    }
    return info;
}

} // namespace lumaro
