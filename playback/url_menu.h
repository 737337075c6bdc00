#pragma once
// The URL menu as a model: the current station's stream URLs with a mark at
// the one in use, then three fixed entries. The window draws it.

#include <string>
#include <string_view>
#include <vector>

namespace lumaro {

inline constexpr const char* kUrlMenuSeparator = "-";
inline constexpr const char* kCopyUrlCaption = "Copy current URL to clipboard";
inline constexpr const char* kPlayClipboardCaption = "Play URL from clipboard";

struct TUrlMenuEntry {
    std::string Caption; // UTF-8
    bool Marked = false;
    bool operator==(const TUrlMenuEntry&) const = default;
};

struct TUrlMenu {
    // URL entries first, then the separator, "Copy current URL to clipboard" and
    // "Play URL from clipboard".
    std::vector<TUrlMenuEntry> Entries{{kUrlMenuSeparator}, {kCopyUrlCaption}, {kPlayClipboardCaption}};
    // Caption of the label beside the URL button.
    std::string Label = "URL";

    // Number of URL entries (those before the separator).
    size_t UrlEntryCount() const { return Entries.size() - 3; }
    // Index of the marked URL entry, or -1.
    int MarkedUrl() const;
};

// Builds the menu for a station line. Outside clipboard mode each URL field of
// more than 3 characters (ends trimmed) becomes an entry, marked when its field
// index is 5 + attemptNumber; the label counts them. In clipboard mode the menu
// lists currentUrl alone, marked, when it holds "://", and the label counts 0.
TUrlMenu BuildUrlMenu(std::u16string_view stationLine, int attemptNumber, bool clipboardMode,
                      std::string_view currentUrl);

// Whether a menu this short (fewer than two URL entries) turns retrying off.
inline bool MenuStopsRetrying(const TUrlMenu& menu) {
    return menu.Entries.size() < 5;
}

} // namespace lumaro
