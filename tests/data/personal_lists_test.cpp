#include "data/list_file_writer.h"
#include "data/personal_lists.h"
#include "data/scrambled_list_file.h"
#include "test_util.h"

using namespace lumaro;
using lumaro::testing::ScratchDir;

namespace {

TEST(SameEntry, IgnoresLetterCaseOnly) {
    const struct {
        std::u16string a, b;
        bool same;
    } cases[] = {
        {u"Jazz FM\thttp://a", u"JAZZ fm\tHTTP://A", true},
        {u"\u0420\u0430\u0434\u0438\u043E", u"\u0420\u0410\u0414\u0418\u041E", true},
        {u"Caf\u00E9", u"CAF\u00C9", true},
        {u"Jazz FM", u"Jazz  FM", false},
        {u"Jazz\tFM", u"Jazz\t\tFM", false},
        {u"http://a", u"http://a\t", false},
        {u"Cafe", u"Caf\u00E9", false},
        {u"", u"", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SameEntry(c.a, c.b), c.same);
}

TEST(Favorites, AddsOnTopOnceWhateverTheCase) {
    TFavoritesList favorites;
    EXPECT_TRUE(favorites.Add(u"One\t-\t-\t-\t-\thttp://1"));
    EXPECT_TRUE(favorites.Add(u"Two\t-\t-\t-\t-\thttp://2"));
    EXPECT_FALSE(favorites.Add(u"ONE\t-\t-\t-\t-\tHTTP://1"));
    EXPECT_FALSE(favorites.Add(u"Two\t-\t-\t-\t-\thttp://2"));
    EXPECT_FALSE(favorites.Add(u""));
    EXPECT_EQ(favorites.Entries(), (WideList{u"Two\t-\t-\t-\t-\thttp://2", u"One\t-\t-\t-\t-\thttp://1"}));
}

TEST(Recent, KeepsTheFifteenNewestAndMovesRepeatsToTheTop) {
    TRecentList recent;
    for (int i = 0; i < 16; ++i)
        recent.EnterRecent(u"Station " + std::u16string(1, char16_t(u'a' + i)));
    ASSERT_EQ(recent.Count(), 15u);
    EXPECT_EQ(recent.Entry(0), u"Station p");
    EXPECT_EQ(recent.Entry(14), u"Station b"); // the first one played is gone

    const std::u16string seventh = recent.Entry(7);
    EXPECT_TRUE(recent.EnterRecent(seventh));
    EXPECT_EQ(recent.Count(), 15u);
    EXPECT_EQ(recent.Entry(0), seventh);
    EXPECT_EQ(recent.Find(seventh), 0);

    EXPECT_TRUE(recent.EnterRecent(u"http://clip.example/live\t"));
    EXPECT_EQ(recent.Entry(0), u"http://clip.example/live\t");
    EXPECT_FALSE(recent.EnterRecent(u""));
}

TEST(PersonalListFiles, SaveRemoveAndDelete) {
    ScratchDir dir;
    TFavoritesList favorites;
    favorites.Add(u"Only\t-\t-\t-\t-\thttp://o");
    favorites.Save();
    EXPECT_FALSE(favorites.RemoveAt(1)); // no such row: nothing changes
    EXPECT_TRUE(favorites.RemoveAt(0));
    favorites.Save();
    // removing the last entry leaves a file holding only the byte-order mark
    EXPECT_EQ(ReadWholeFile("fav.dat"), "\xC2\xC3"); // FF FE scrambled with 3D

    TFavoritesList reloaded;
    reloaded.LoadIfPresent();
    EXPECT_EQ(reloaded.Count(), 0u);

    favorites.Clear();
    favorites.DeleteFile();
    EXPECT_FALSE(FileExists("fav.dat"));
    favorites.DeleteFile(); // a missing file is no error
}

// Saves on the list-file thread land in order, in the folder that was current
// when they were asked for, and never overtake a later direct use of the file.
TEST(PersonalListFiles, SavesLaterLandInOrderBeforeTheFileIsUsedAgain) {
    ScratchDir dir;
    TRecentList recent;
    for (int i = 0; i < 40; ++i) {
        recent.EnterRecent(u"Station " + std::u16string(1, char16_t(u'A' + i % 26)) + u"\t-\t-\t-\t-\thttp://s");
        recent.SaveLater();
    }
    {
        ScratchDir elsewhere; // the queued saves keep their folder
        FlushListFileSaves();
        EXPECT_FALSE(FileExists("rec.dat"));
    }
    TRecentList reloaded;
    reloaded.LoadIfPresent();
    EXPECT_EQ(reloaded.Entries(), recent.Entries());

    // A queued save never resurrects a file deleted after it.
    recent.SaveLater();
    recent.DeleteFile();
    FlushListFileSaves();
    EXPECT_FALSE(FileExists("rec.dat"));

    // Nor overwrites a direct save made after it.
    recent.SaveLater();
    TRecentList other;
    other.EnterRecent(u"Other\t-\t-\t-\t-\thttp://o");
    other.Save();
    FlushListFileSaves();
    reloaded.LoadIfPresent();
    EXPECT_EQ(reloaded.Entries(), other.Entries());
}

TEST(PersonalListFiles, AQueuedSaveThatCannotBeWrittenChangesNothing) {
    ScratchDir dir;
    std::filesystem::create_directory("rec.dat"); // no write can replace it, even as root
    TRecentList recent;
    recent.EnterRecent(u"http://only");
    recent.SaveLater();
    FlushListFileSaves();
    EXPECT_TRUE(std::filesystem::is_directory("rec.dat"));
    EXPECT_EQ(recent.Count(), 1u);
}

} // namespace
