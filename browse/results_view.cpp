#include "browse/results_view.h"

namespace lumaro {

TBrowseView ToggleBrowseView(TBrowseView current, TBrowseView pressed) {
    return current == pressed ? TBrowseView::Catalogue : pressed;
}

size_t TBrowseSource::Count(TBrowseView view) const {
    switch (view) {
    case TBrowseView::Favorites: return favorites ? favorites->Count() : 0;
    case TBrowseView::Recent: return recent ? recent->Count() : 0;
    case TBrowseView::Catalogue: break;
    }
    return results ? results->size() : 0;
}

const std::u16string* TBrowseSource::Line(TBrowseView view, size_t row) const {
    if (row >= Count(view)) return nullptr;
    switch (view) {
    case TBrowseView::Favorites: return &favorites->Entry(row);
    case TBrowseView::Recent: return &recent->Entry(row);
    case TBrowseView::Catalogue: break;
    }
    const int index = (*results)[row];
    if (!catalogue || index < 0 || static_cast<size_t>(index) >= catalogue->Count()) return nullptr;
    return &catalogue->Line(static_cast<size_t>(index));
}

std::u16string CountLabelText(size_t count) {
    const std::string n = std::to_string(count);
    return u"showing " + std::u16string(n.begin(), n.end()) + u" stations";
}

std::u16string_view RowName(std::u16string_view line) { return line.substr(0, line.find(u'\t')); }

} // namespace lumaro
