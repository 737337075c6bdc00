#pragma once
// What the results view shows: the filtered catalogue, Favorites or Recent,
// and which station line each row stands for.

#include "browse/result_filter.h"
#include "data/personal_lists.h"

#include <string>

namespace lumaro {

enum class TBrowseView { Catalogue, Favorites, Recent };

// The mode after a press on the "Favorites" or "Recent" label: pressing the
// active mode's label returns to the catalogue.
TBrowseView ToggleBrowseView(TBrowseView current, TBrowseView pressed);

// The lists behind the three modes; all owned by the main window.
struct TBrowseSource {
    const TStationCatalogue* catalogue = nullptr;
    const TResultList* results = nullptr;
    const TFavoritesList* favorites = nullptr;
    const TRecentList* recent = nullptr;

    size_t Count(TBrowseView view) const;
    // The station line of row r, or nullptr past the end.
    const std::u16string* Line(TBrowseView view, size_t row) const;
};

// "showing 15000 stations"
std::u16string CountLabelText(size_t count);

// The name shown in a row: the line up to its first TAB.
std::u16string_view RowName(std::u16string_view line);

} // namespace lumaro
