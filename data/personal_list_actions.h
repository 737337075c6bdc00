#pragma once
// The Favorites and Recent operations the user starts from the window: add,
// remove the selected entry, empty. Window thread. A list file that cannot be
// written or deleted is not reported; the list stays changed in memory.

#include "data/personal_lists.h"

#include <string_view>

namespace lumaro {

// The results view's side of these operations.
class TPersonalListView {
public:
    virtual ~TPersonalListView() = default;
    // Whether the results view shows the Favorites list now.
    virtual bool ShowsFavorites() const = 0;
    // RefreshResultsView: rebuilds the results view from its list.
    virtual void RefreshResultsView() = 0;
    // suiStringGrid4Click for the row now selected.
    virtual void SelectionAction() = 0;
};

// "Add to Fav." and "Add to Favorites": puts line on top of Favorites unless it
// is empty or already there, writes fav.dat and refreshes a Favorites view.
void AddToFavorites(TFavoritesList& favorites, std::u16string_view line, TPersonalListView& view);

// "Remove from Favorites" / "Remove from Recent": removes the entry of the
// selected row, refreshes the view, runs the selection action, writes the
// file. A row without an entry changes nothing.
void RemoveSelectedEntry(TPersonalList& list, int row, TPersonalListView& view);

// "Empty Favorites list" / "Empty Recent list": removes every entry, refreshes
// the view, deletes the list's file, runs the selection action.
void EmptyPersonalList(TPersonalList& list, TPersonalListView& view);

} // namespace lumaro
