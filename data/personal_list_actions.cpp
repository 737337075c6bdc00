#include "data/personal_list_actions.h"

#include "data/scrambled_list_file.h"

namespace lumaro {

namespace {
template <typename Fn> void Quietly(Fn fn) {
    try {
        fn();
    } catch (const ListFileError&) {
    }
}
} // namespace

void AddToFavorites(TFavoritesList& favorites, std::u16string_view line, TPersonalListView& view) {
    if (!favorites.Add(line)) return;
    Quietly([&] { favorites.Save(); });
    if (view.ShowsFavorites()) view.RefreshResultsView();
}

void RemoveSelectedEntry(TPersonalList& list, int row, TPersonalListView& view) {
    if (row < 0 || !list.RemoveAt(static_cast<size_t>(row))) return;
    view.RefreshResultsView();
    view.SelectionAction();
    Quietly([&] { list.Save(); });
}

void EmptyPersonalList(TPersonalList& list, TPersonalListView& view) {
    list.Clear();
    view.RefreshResultsView();
    Quietly([&] { list.DeleteFile(); });
    view.SelectionAction();
}

} // namespace lumaro
