// Favorites and Recent as the user changes them: the view hooks in their order
// and the files as they stand afterwards.

#include "data/personal_list_actions.h"
#include "test_util.h"

#include <filesystem>
#include <string>
#include <vector>

using namespace lumaro;
using lumaro::testing::ScratchDir;

namespace {

// The results view, noting what it is asked to do.
struct ViewHooks : TPersonalListView {
    bool showsFavorites = false;
    int refreshes = 0;
    // The hooks in the order they were called ("refresh", "select").
    std::vector<std::string> hookOrder;
    bool ShowsFavorites() const override { return showsFavorites; }
    void RefreshResultsView() override {
        ++refreshes;
        hookOrder.push_back("refresh");
    }
    void SelectionAction() override { hookOrder.push_back("select"); }
};

class PersonalListActions : public ::testing::Test {
protected:
    WideList OnDisk(const TPersonalList& list) {
        TPersonalList copy(list.FileName());
        copy.LoadIfPresent();
        return copy.Entries();
    }
    ScratchDir dir_;
    ViewHooks view_;
};

TEST_F(PersonalListActions, AddingToFavorites) {
    TFavoritesList favorites;
    AddToFavorites(favorites, u"", view_);
    EXPECT_FALSE(std::filesystem::exists("fav.dat"));

    AddToFavorites(favorites, u"Jazz\tx", view_);
    AddToFavorites(favorites, u"Rock\tx", view_);
    EXPECT_EQ(view_.refreshes, 0) << "the Favorites view is not showing";
    view_.showsFavorites = true;
    AddToFavorites(favorites, u"JAZZ\tX", view_); // the same entry in other letter case
    EXPECT_EQ(view_.refreshes, 0);
    AddToFavorites(favorites, u"Pop\tx", view_);
    EXPECT_EQ(view_.refreshes, 1);
    const WideList expected = {u"Pop\tx", u"Rock\tx", u"Jazz\tx"};
    EXPECT_EQ(favorites.Entries(), expected);
    EXPECT_EQ(OnDisk(favorites), expected);
}

TEST_F(PersonalListActions, RemovingTheSelectedEntry) {
    TRecentList recent;
    for (const char16_t* line : {u"c", u"b", u"a"})
        recent.EnterRecent(line);
    recent.Save();

    RemoveSelectedEntry(recent, 5, view_);
    RemoveSelectedEntry(recent, -1, view_);
    EXPECT_TRUE(view_.hookOrder.empty()) << "a row without an entry changes nothing";

    RemoveSelectedEntry(recent, 1, view_);
    EXPECT_EQ(view_.hookOrder, (std::vector<std::string>{"refresh", "select"}));
    EXPECT_EQ(OnDisk(recent), (WideList{u"a", u"c"}));

    RemoveSelectedEntry(recent, 0, view_);
    RemoveSelectedEntry(recent, 0, view_);
    // The last removal writes a list with no entries rather than deleting the file.
    EXPECT_TRUE(std::filesystem::exists("rec.dat"));
    EXPECT_TRUE(OnDisk(recent).empty());
}

TEST_F(PersonalListActions, EmptyingDeletesTheFile) {
    TFavoritesList favorites;
    favorites.Add(u"Jazz");
    favorites.Save();
    ASSERT_TRUE(std::filesystem::exists("fav.dat"));
    EmptyPersonalList(favorites, view_);
    EXPECT_EQ(favorites.Count(), 0u);
    EXPECT_FALSE(std::filesystem::exists("fav.dat"));
    EXPECT_EQ(view_.hookOrder, (std::vector<std::string>{"refresh", "select"}));
    // Emptying an empty list without a file is quiet.
    EmptyPersonalList(favorites, view_);
    EXPECT_FALSE(std::filesystem::exists("fav.dat"));
}

} // namespace
