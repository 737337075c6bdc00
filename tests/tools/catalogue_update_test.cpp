// lumaro-catalogue update against loopback servers: recorded directory pages,
// a mirror's server list, errors, garbage, stalls and a short directory.
#include "data/scrambled_list_file.h"
#include "loopback_http_server.h"
#include "tool_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace lumaro;
using lumaro::testing::CatalogueTool;
using lumaro::testing::ExpectCleanFailure;
using Server = lumaro::testing::LoopbackHttpServer;

namespace {

// Directory records as the API sends them: the fixture's twelve, with their
// quirks, then made-up stations in eight countries.
std::vector<std::string> DirectoryRecords(size_t madeUp) {
    std::vector<std::string> records;
    const std::string fixture = ReadWholeFile(std::string(FIXTURES) + "/stations.jsonl");
    for (size_t start = 0; start < fixture.size();) {
        const size_t end = fixture.find('\n', start);
        records.push_back(fixture.substr(start, end - start));
        start = end + 1;
    }
    const char* const countries[] = {"FR", "DE", "BR", "JP", "KE", "AU", "CA", "IN"};
    for (size_t i = 0; i < madeUp; ++i) {
        char uuid[48];
        std::snprintf(uuid, sizeof uuid, "00000000-0000-4000-8000-%012zu", i);
        const std::string n = std::to_string(i);
        records.push_back(
            std::string("{\"changeuuid\":\"") + uuid + "\",\"stationuuid\":\"" + uuid +
            "\",\"name\":\"Station " + n + "\",\"url\":\"http://s" + n +
            ".example/live\",\"url_resolved\":\"http://s" + n + ".example/live.mp3\",\"homepage\":" +
            "\"https://s" + n + ".example/\",\"favicon\":\"\",\"tags\":\"pop,rock\",\"country\":\"\"," +
            "\"countrycode\":\"" + countries[i % 8] + "\",\"state\":\"\",\"language\":\"english\"," +
            "\"votes\":" + std::to_string(i * 7 % 1000) + ",\"lastchangetime\":\"2025-01-01 00:00:00\"," +
            "\"codec\":\"MP3\",\"bitrate\":128,\"hls\":0,\"lastcheckok\":1," +
            "\"lastchecktime\":\"2025-10-14 00:00:00\",\"clickcount\":" + std::to_string(i % 50) + "}");
    }
    return records;
}

size_t QueryNumber(const std::string& query, const std::string& name) {
    const size_t at = ("&" + query).find("&" + name + "=");
    return at == std::string::npos ? SIZE_MAX : std::stoul(query.substr(at + name.size() + 1));
}

// Pages of /json/stations as Radio Browser serves them, at most 400 stations
// a page whatever the limit asked for.
Server::Reply Page(const std::vector<std::string>& records, const Server::Request& request) {
    if (request.path != "/json/stations") return {404, "{\"error\":\"no such path\"}"};
    const size_t offset = std::min(QueryNumber(request.query, "offset"), records.size());
    const size_t end = std::min({records.size(), offset + QueryNumber(request.query, "limit"), offset + 400});
    std::string body = "[";
    for (size_t i = offset; i < end; ++i)
        (body += i > offset ? "," : "") += records[i];
    return {200, body + "]"};
}

class CatalogueUpdate : public CatalogueTool {
protected:
    void SetUp() override {
        CatalogueTool::SetUp();
        Write("old.dat", "");
        TScrambledListFile::SaveWideList(PathOf("stations.dat"), {u"Old\t-\t-\t-\t-\thttp://old.example/"},
                                         kListKey);
        old_ = ReadWholeFile(PathOf("stations.dat"));
    }
    // The catalogue the import makes of the same records.
    std::string ImportOf(const std::vector<std::string>& records, const std::string& options = "") {
        std::string lines;
        for (const auto& r : records)
            (lines += r) += '\n';
        Write("records.jsonl", lines);
        EXPECT_EQ(Run("import " + options + PathOf("records.jsonl") + " " + PathOf("import.tsv")).status, 0);
        return ReadWholeFile(PathOf("import.tsv"));
    }
    std::string Dump(const std::string& file) { return Run("dump " + file).out; }
    // Nothing but the files the test made: no temporary file left behind.
    void ExpectNoLeftovers() {
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    }
    std::string old_;
};

TEST_F(CatalogueUpdate, FetchesEveryPageAndReplacesTheCatalogue) {
    const auto records = DirectoryRecords(1300);
    Server server([&](const Server::Request& r) { return Page(records, r); });
    const auto r = Run("update --api " + server.Url() + " " + PathOf("stations.dat"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(Dump(PathOf("stations.dat")), ImportOf(records));
    ExpectNoLeftovers();

    // offsets 0, 400, 800 and 1200, then an empty page at 1312 ends it
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 5u);
    const size_t offsets[] = {0, 400, 800, 1200, 1312};
    for (size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].method, "GET");
        EXPECT_EQ(requests[i].path, "/json/stations");
        EXPECT_EQ(QueryNumber(requests[i].query, "offset"), offsets[i]);
        EXPECT_EQ(QueryNumber(requests[i].query, "limit"), 10000u);
        EXPECT_NE(("&" + requests[i].query + "&").find("&hidebroken=true&"), std::string::npos);
        EXPECT_EQ(requests[i].userAgent, "LumaroRadio/1.2");
    }
    // a progress line per page, then what was written
    EXPECT_NE(r.err.find(server.Url() + ": 400 stations\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(server.Url() + ": 1312 stations\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.LastErrorLine(), "lumaro-catalogue: 1307 stations written to " + PathOf("stations.dat"));
}

TEST_F(CatalogueUpdate, CountKeepsTheBestAsTheImportDoes) {
    const auto records = DirectoryRecords(1300);
    Server server([&](const Server::Request& r) { return Page(records, r); });
    ASSERT_EQ(Run("update --count 50 --api " + server.Url() + " " + PathOf("stations.dat")).status, 0);
    EXPECT_EQ(Dump(PathOf("stations.dat")), ImportOf(records, "--count 50 "));
}

TEST_F(CatalogueUpdate, AsksAMirrorForTheServersAndFailsOverToTheNext) {
    const auto records = DirectoryRecords(1300);
    Server good([&](const Server::Request& r) { return Page(records, r); });
    Server bad([](const Server::Request&) { return Server::Reply{503, "{\"error\":\"busy\"}"}; });
    Server mirror([&](const Server::Request& r) {
        if (r.path != "/json/servers") return Server::Reply{404, "[]"};
        return Server::Reply{
            200, "[{\"ip\":\"127.0.0.1\",\"name\":\"127.0.0.1:" + std::to_string(bad.Port()) +
                     "\"},{\"ip\":\"127.0.0.1\",\"name\":\"127.0.0.1:" + std::to_string(good.Port()) +
                     "\"},{\"name\":\"bad/name\"}]"};
    });
    // one mirror refuses connections; whichever order they are tried in, one answers
    const std::string dead = "http://127.0.0.1:" + std::to_string(Server::ClosedPort());
    const auto r =
        Run("update --mirror " + dead + " --mirror " + mirror.Url() + " " + PathOf("stations.dat"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Dump(PathOf("stations.dat")), ImportOf(records));
    ASSERT_FALSE(mirror.Requests().empty());
    EXPECT_EQ(mirror.Requests()[0].path, "/json/servers");
    EXPECT_EQ(mirror.Requests()[0].userAgent, "LumaroRadio/1.2");
    EXPECT_EQ(good.Requests().size(), 5u);
    EXPECT_LE(bad.Requests().size(), 1u);
}

TEST_F(CatalogueUpdate, FailsCleanlyAndLeavesTheCatalogueAlone) {
    const auto enough = DirectoryRecords(1300);
    const auto few = DirectoryRecords(990); // with the fixture's seven: 997 stations
    using Mode = Server::Mode;
    struct Case {
        const char* name;
        Server::Handler handler;
        const char* says; // in the error line
    };
    const Case cases[] = {
        {"an HTTP error",
         [](const auto&) {
             return Server::Reply{500, "oops"};
         },
         "HTTP status 500"},
        {"a page not found",
         [](const auto&) {
             return Server::Reply{404, "{}"};
         },
         "HTTP status 404"},
        {"a reply that is not JSON",
         [](const auto&) {
             return Server::Reply{200, "<html>Bad Gateway</html>"};
         },
         "not valid JSON"},
        {"JSON that is no list",
         [](const auto&) {
             return Server::Reply{200, "{\"error\":\"rate limited\"}"};
         },
         "not a JSON array"},
        {"a list of no stations",
         [](const auto&) {
             return Server::Reply{200, "[1,2,3]"};
         },
         "other than station"},
        {"a server that says nothing",
         [](const auto&) {
             return Server::Reply{200, "", Mode::StallBeforeReply};
         },
         "Operation too slow"},
        {"a server that stops in its reply",
         [&](const Server::Request& r) {
             auto page = Page(enough, r);
             page.mode = Mode::StallInReply;
             return page;
         },
         "Operation too slow"},
        {"a reply cut short",
         [&](const Server::Request& r) {
             auto page = Page(enough, r);
             page.mode = Mode::CutShort;
             return page;
         },
         "transfer closed"},
        {"a later page fails",
         [&](const Server::Request& r) {
             return QueryNumber(r.query, "offset") < 800 ? Page(enough, r) : Server::Reply{503, "busy"};
         },
         "HTTP status 503"},
        {"fewer than 1,000 stations", [&](const Server::Request& r) { return Page(few, r); },
         "only 997 usable stations received"},
    };
    for (const auto& c : cases) {
        Server server(c.handler);
        const auto r = Run("update --timeout 2 --api " + server.Url() + " " + PathOf("stations.dat"));
        ExpectCleanFailure(r, c.name);
        EXPECT_NE(r.LastErrorLine().find(c.says), std::string::npos) << c.name << ": " << r.LastErrorLine();
        EXPECT_EQ(ReadWholeFile(PathOf("stations.dat")), old_) << c.name;
        ExpectNoLeftovers();
    }

    // nobody listening, at the server or at the mirrors
    const std::string dead = "http://127.0.0.1:" + std::to_string(Server::ClosedPort());
    Server noServers([](const auto&) { return Server::Reply{200, "[]"}; });
    Server garbage([](const auto&) { return Server::Reply{200, "\x1F\x8B garbage"}; });
    const std::pair<std::string, const char*> more[] = {
        {"--api " + dead, "Couldn't connect"},
        {"--api " + dead + " --api " + dead, "no server gave the directory"},
        {"--mirror " + dead, "no mirror gave the server list"},
        {"--mirror " + noServers.Url(), "names no server"},
        {"--mirror " + garbage.Url(), "not a JSON list"},
    };
    for (const auto& [options, says] : more) {
        const auto r = Run("update --timeout 2 " + options + " " + PathOf("stations.dat"));
        ExpectCleanFailure(r, options);
        EXPECT_NE(r.LastErrorLine().find(says), std::string::npos) << options << ": " << r.LastErrorLine();
        EXPECT_EQ(ReadWholeFile(PathOf("stations.dat")), old_) << options;
    }
}

TEST_F(CatalogueUpdate, BadArgumentsAreAUsageError) {
    for (const std::string args :
         {"update", "update --timeout 0 x.dat", "update --timeout soon x.dat", "update --count 0 x.dat",
          "update --api", "update --proxy p x.dat", "update a.dat b.dat"}) {
        ExpectCleanFailure(Run(args), args);
    }
}

} // namespace
