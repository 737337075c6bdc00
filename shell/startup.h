#pragma once
// The command-line protocol: "a" starts hidden in the tray; kind@index@left@top
// opens a station of the catalogue (s), Favorites (f) or Recent (r) and places
// the window beside the copy that launched it.

#include "data/text_codec.h"

#include <optional>
#include <string>
#include <string_view>

namespace lumaro {

class TStationCatalogue;
class TPersonalList;

// True when the first argument asks for a start hidden in the tray.
inline bool IsTrayArgument(std::string_view arg) {
    return arg == "a";
}
inline bool IsStationArgument(std::string_view arg) {
    return arg.find('@') != std::string_view::npos;
}

// Splits at "@"; runs of "@" count as one and no part is ever empty.
ByteList SplitArgumentParts(std::string_view arg);

// A whole decimal integer in 32 bits with an optional sign, else nothing.
std::optional<int> ParseDecimal(std::string_view text);

// Fills parts from arg and, when the kind and index name an existing line,
// sets stationLine to it. Returns false when the index is not a decimal
// integer or lies outside the named list; an unknown kind is no failure but
// leaves stationLine as it was.
bool ParseStationArgument(std::string_view arg, ByteList& parts, const TStationCatalogue& catalogue,
                          const TPersonalList& favorites, const TPersonalList& recent,
                          std::u16string& stationLine);

struct WindowOrigin {
    int left;
    int top;
};
// The position the window takes on activation: 30 pixels right of and below
// the launching window, when the argument carried four parts.
std::optional<WindowOrigin> ArgumentWindowOrigin(const ByteList& parts);

// The text that starts a copy on a station: "s@1234@336@135".
std::string BuildStationArgument(char kind, int index, int left, int top);

} // namespace lumaro
