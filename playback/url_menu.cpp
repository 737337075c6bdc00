#include "playback/url_menu.h"

#include "data/station_record.h"

namespace lumaro {

int TUrlMenu::MarkedUrl() const {
    for (size_t i = 0; i < UrlEntryCount(); ++i)
        if (Entries[i].Marked) return static_cast<int>(i);
    return -1;
}

TUrlMenu BuildUrlMenu(std::u16string_view stationLine, int attemptNumber, bool clipboardMode,
                      std::string_view currentUrl) {
    constexpr size_t kFirstUrlField = 5;
    TUrlMenu menu;
    std::vector<TUrlMenuEntry> urls;
    if (!clipboardMode) {
        const TStationRecord fields = SplitStationLine(stationLine);
        for (size_t i = kFirstUrlField; i < fields.size(); ++i) {
            // Trimmed, so that a bare URL entry's trailing TAB never reaches the engine.
            std::string url = AnsiFromWide(TrimWide(fields[i]));
            if (url.size() <= 3) continue;
            const bool marked =
                attemptNumber >= 0 && i == kFirstUrlField + static_cast<size_t>(attemptNumber);
            urls.push_back({std::move(url), marked});
        }
        menu.Label = "URL (" + std::to_string(urls.size()) + ")";
    } else {
        menu.Label = "URL (0)";
        if (currentUrl.find("://") != std::string_view::npos) urls.push_back({std::string(currentUrl), true});
    }
    menu.Entries.insert(menu.Entries.begin(), urls.begin(), urls.end());
    return menu;
}

} // namespace lumaro
