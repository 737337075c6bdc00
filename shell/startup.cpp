#include "shell/startup.h"

#include "data/personal_lists.h"
#include "data/station_catalogue.h"

#include <charconv>
#include <cstdint>

namespace lumaro {

ByteList SplitArgumentParts(std::string_view arg) {
    ByteList parts;
    size_t i = 0;
    while (i < arg.size()) {
        const size_t at = arg.find('@', i);
        const size_t end = at == std::string_view::npos ? arg.size() : at;
        if (end > i) parts.emplace_back(arg.substr(i, end - i));
        i = end + 1;
    }
    return parts;
}

std::optional<int> ParseDecimal(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool ParseStationArgument(std::string_view arg, ByteList& parts, const TStationCatalogue& catalogue,
                          const TPersonalList& favorites, const TPersonalList& recent,
                          std::u16string& stationLine) {
    parts = SplitArgumentParts(arg);
    if (parts.empty()) return true;
    const std::string& kind = parts[0];
    if (kind != "s" && kind != "f" && kind != "r") return true;
    if (parts.size() < 2) return false;
    const std::optional<int> index = ParseDecimal(parts[1]);
    if (!index || *index < 0) return false;
    const auto i = static_cast<size_t>(*index);
    if (kind == "s") {
        if (i >= catalogue.Count()) return false;
        stationLine = catalogue.Line(i);
    } else {
        const TPersonalList& list = kind == "f" ? favorites : recent;
        if (i >= list.Count()) return false;
        stationLine = list.Entry(i);
    }
    return true;
}

std::optional<WindowOrigin> ArgumentWindowOrigin(const ByteList& parts) {
    if (parts.size() < 4) return std::nullopt;
    const std::optional<int> left = ParseDecimal(parts[2]);
    const std::optional<int> top = ParseDecimal(parts[3]);
    constexpr int kOffset = 30;
    if (!left || !top || *left > INT32_MAX - kOffset || *top > INT32_MAX - kOffset) return std::nullopt;
    return WindowOrigin{*left + kOffset, *top + kOffset};
}

std::string BuildStationArgument(char kind, int index, int left, int top) {
    return std::string(1, kind) + "@" + std::to_string(index) + "@" + std::to_string(left) + "@" +
           std::to_string(top);
}

} // namespace lumaro
