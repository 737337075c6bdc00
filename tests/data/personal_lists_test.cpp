#include "data/list_file_writer.h"
#include "data/personal_list_actions.h"
#include "data/personal_lists.h"
#include "data/scrambled_list_file.h"
#include "test_util.h"

#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>

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

// What is at a list file's name before the program starts, and how to see
// afterwards that it is still exactly that.
struct UnreadableCase {
    const char* name;
    std::function<void()> make;
    std::function<std::string()> look; // a fingerprint of what is there
    bool asUnprivileged = false;       // the file's permissions must bind the reader
};

std::string LinkTarget(const char* name) {
    std::error_code ec;
    return "link to " + std::filesystem::read_symlink(name, ec).string();
}

// Runs body as the unprivileged user "nobody" when the tests run as root (so
// that permissions bind), else in this process; true when body returned true.
bool AsUnprivileged(const std::function<bool()>& body) {
    if (::geteuid() != 0) return body();
    const pid_t child = ::fork();
    if (child == 0) {
        bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ok = ok && body();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class NullListView : public TPersonalListView {
public:
    bool ShowsFavorites() const override { return true; }
    void RefreshResultsView() override {}
    void SelectionAction() override {}
};

class UnreadableListFile : public ::testing::TestWithParam<UnreadableCase> {};

// The list starts empty, takes changes in memory, and the thing on disk is
// never written, replaced or deleted during the run.
TEST_P(UnreadableListFile, StartsEmptyAndIsNeverWrittenThisRun) {
    const UnreadableCase& c = GetParam();
    ScratchDir dir;
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::all); // nobody may write here
    c.make();
    const std::string before = c.look();

    const auto run = [] {
        TFavoritesList favorites;
        bool raised = false;
        try {
            favorites.LoadIfPresent();
        } catch (const ListFileError&) {
            raised = true;
        }
        NullListView view;
        AddToFavorites(favorites, u"Kept in memory\t-\t-\t-\t-\thttp://k", view);
        AddToFavorites(favorites, u"Second\t-\t-\t-\t-\thttp://s", view);
        RemoveSelectedEntry(favorites, 0, view);
        favorites.Save();
        const bool kept = favorites.Count() == 1;
        EmptyPersonalList(favorites, view);
        return raised && kept && favorites.FileState() == TListFileState::Unreadable;
    };
    if (c.asUnprivileged) {
        EXPECT_TRUE(AsUnprivileged(run));
    } else {
        EXPECT_TRUE(run());
    }
    FlushListFileSaves();
    EXPECT_EQ(c.look(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnreadableListFile,
    ::testing::Values(
        UnreadableCase{"no_read_permission",
                       [] {
                           TScrambledListFile::SaveWideList("fav.dat", {u"Precious\t-\t-\t-\t-\thttp://p"},
                                                            kListKey);
                           std::filesystem::permissions("fav.dat", std::filesystem::perms::none);
                       },
                       [] { return ReadWholeFile("fav.dat"); }, true},
        UnreadableCase{"a_directory", [] { std::filesystem::create_directory("fav.dat"); },
                       [] { return std::string(std::filesystem::is_directory("fav.dat") ? "dir" : "gone"); }},
        UnreadableCase{"a_looping_link", [] { std::filesystem::create_symlink("fav.dat", "fav.dat"); },
                       [] { return LinkTarget("fav.dat"); }},
        UnreadableCase{"a_link_into_a_drive_not_mounted",
                       [] { std::filesystem::create_symlink("/media/lumaro-absent/fav.dat", "fav.dat"); },
                       [] { return LinkTarget("fav.dat"); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Recent's saves on the list-file thread keep away from an unreadable rec.dat
// as well; a list whose file was read, or absent, is written as before.
TEST(PersonalListFiles, OnlyAFileThatCouldNotBeReadIsLeftAlone) {
    ScratchDir dir;
    std::filesystem::create_symlink("rec.dat", "rec.dat");
    TScrambledListFile::SaveWideList("fav.dat", {u"Old\t-\t-\t-\t-\thttp://o"}, kListKey);
    TRecentList recent;
    EXPECT_THROW(recent.LoadIfPresent(), ListFileError);
    EXPECT_EQ(recent.FileState(), TListFileState::Unreadable);
    EXPECT_TRUE(recent.EnterRecent(u"http://new\t"));
    recent.SaveLater();
    recent.DeleteFile();
    FlushListFileSaves();
    EXPECT_EQ(LinkTarget("rec.dat"), "link to rec.dat");
    EXPECT_EQ(recent.Count(), 1u);

    TFavoritesList favorites; // read
    favorites.LoadIfPresent();
    EXPECT_EQ(favorites.FileState(), TListFileState::Read);
    favorites.Add(u"New\t-\t-\t-\t-\thttp://n");
    favorites.Save();
    TFavoritesList reloaded;
    reloaded.LoadIfPresent();
    EXPECT_EQ(reloaded.Count(), 2u);

    std::filesystem::remove("rec.dat"); // absent
    TRecentList fresh;
    fresh.LoadIfPresent();
    EXPECT_EQ(fresh.FileState(), TListFileState::Absent);
    fresh.EnterRecent(u"http://x\t");
    fresh.SaveLater();
    FlushListFileSaves();
    EXPECT_TRUE(FileExists("rec.dat"));
}

} // namespace
