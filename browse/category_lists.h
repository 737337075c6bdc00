#pragma once
// The style, country and language lists: "All", then every value that occurs
// in the catalogue once, sorted by the user's locale with case ignored.

#include "data/station_catalogue.h"

#include <QCollator>
#include <QLocale>

namespace lumaro {

enum class TCategoryKind { Style = 0, Country = 1, Language = 2 };

struct TCategoryLists {
    ByteList Style, Country, Language; // 8-bit text, "All" first
    ByteList& Of(TCategoryKind kind);
    const ByteList& Of(TCategoryKind kind) const;
};

// The collation of the user's locale with letter case ignored. The C locale
// orders by code point and minds case, so it falls back to the neutral order.
QCollator UserCollator(const QLocale& locale = QLocale());

// One pass over the catalogue; a value equal to one already held (under the
// collator) is dropped, so the first spelling met wins. Lines lacking a
// field add nothing to that list.
TCategoryLists BuildCategoryLists(const TStationCatalogue& catalogue, const QCollator& collator);

// The entries of a full list that contain boxText, ASCII case ignored, in
// list order; all of them when boxText is empty; one empty entry when none.
ByteList NarrowCategoryList(const ByteList& source, std::u16string_view boxText);

} // namespace lumaro
