#include "tools/directory_fetch.h"

#include <curl/curl.h>
#include <simdjson.h>

#include <algorithm>
#include <memory>
#include <random>
#include <unordered_set>

namespace lumaro::catalogue {

namespace {

// A page of 10,000 stations is about 12 MB; nothing a server sends may be
// larger than this.
constexpr size_t kMaxReplyBytes = size_t{256} << 20;
// More stations than the directory could hold means the server is looping.
constexpr size_t kMaxStations = 2'000'000;

struct Reply {
    std::string body;
    bool tooLarge = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
    auto* reply = static_cast<Reply*>(user);
    const size_t n = size * count;
    if (reply->body.size() + n > kMaxReplyBytes) {
        reply->tooLarge = true;
        return 0; // ends the transfer
    }
    reply->body.append(data, n);
    return n;
}

void InitCurlOnce() {
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!done) throw FetchError("cannot start libcurl");
}

std::string WithoutTrailingSlash(std::string url) {
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    return url;
}

std::string SchemeOf(const std::string& url) {
    const size_t colon = url.find("://");
    return colon == std::string::npos ? "https" : url.substr(0, colon);
}

void Shuffle(std::vector<std::string>& items) {
    std::random_device seed;
    std::mt19937 random(seed());
    std::shuffle(items.begin(), items.end(), random);
}

} // namespace

std::vector<std::string> KnownMirrors() {
    return {"https://de1.api.radio-browser.info", "https://de2.api.radio-browser.info",
            "https://fi1.api.radio-browser.info", "https://all.api.radio-browser.info"};
}

std::string HttpGet(const std::string& url, const FetchOptions& options) {
    InitCurlOnce();
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) throw FetchError(url + ": cannot start a transfer");
    Reply reply;
    char error[CURL_ERROR_SIZE] = "";
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, ""); // whatever libcurl can unpack
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, options.stallSeconds);
    // a server that sends nothing for stallSeconds has stopped answering
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, options.stallSeconds);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    const CURLcode result = curl_easy_perform(c);
    if (reply.tooLarge)
        throw FetchError(url + ": reply larger than " + std::to_string(kMaxReplyBytes >> 20) + " MiB");
    if (result != CURLE_OK) {
        std::string reason = *error ? error : curl_easy_strerror(result);
        std::replace(reason.begin(), reason.end(), '\n', ' ');
        throw FetchError(url + ": " + reason);
    }
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400) throw FetchError(url + ": HTTP status " + std::to_string(status));
    return std::move(reply.body);
}

std::vector<std::string> ServersFromMirrors(const std::vector<std::string>& mirrors,
                                            const FetchOptions& options) {
    std::vector<std::string> order = mirrors;
    Shuffle(order);
    std::string reasons;
    for (const auto& mirror : order) {
        const std::string base = WithoutTrailingSlash(mirror);
        try {
            const simdjson::padded_string body(HttpGet(base + "/json/servers", options));
            simdjson::dom::parser parser;
            simdjson::dom::array list;
            if (parser.parse(body).get_array().get(list) != simdjson::SUCCESS)
                throw FetchError(base + "/json/servers: the reply is not a JSON list");
            std::vector<std::string> servers;
            for (simdjson::dom::element item : list) {
                std::string_view name;
                if (item["name"].get_string().get(name) != simdjson::SUCCESS || name.empty() ||
                    name.find_first_of("/ \t\r\n?#@") != std::string_view::npos)
                    continue;
                std::string server = SchemeOf(base) + "://" + std::string(name);
                if (std::find(servers.begin(), servers.end(), server) == servers.end())
                    servers.push_back(std::move(server));
            }
            if (servers.empty()) throw FetchError(base + "/json/servers: names no server");
            Shuffle(servers);
            return servers;
        } catch (const FetchError& e) {
            (reasons += reasons.empty() ? "" : "; ") += e.what();
        }
    }
    throw FetchError("no mirror gave the server list (" + reasons + ")");
}

std::vector<SourceRecord> FetchDirectory(const std::string& server, const FetchOptions& options) {
    const std::string base = WithoutTrailingSlash(server);
    std::vector<SourceRecord> all;
    std::unordered_set<std::string> seen;
    for (;;) {
        // the offset counts records as the server numbers them, repeats included
        const std::string url = base + "/json/stations?offset=" + std::to_string(all.size()) +
                                "&limit=" + std::to_string(options.pageSize) + "&hidebroken=true";
        std::vector<SourceRecord> page;
        try {
            page = ParseStationArray(HttpGet(url, options));
        } catch (const ImportError& e) {
            throw FetchError(url + ": the reply is " + e.what());
        }
        // the end, or a server that ignores the offset and sends the same again
        size_t fresh = 0;
        for (auto& record : page) {
            fresh += record.uuid.empty() || seen.insert(record.uuid).second;
            all.push_back(std::move(record));
        }
        if (options.progress) options.progress(base, all.size());
        if (fresh == 0) return all;
        if (all.size() > kMaxStations)
            throw FetchError(base + ": sends more than " + std::to_string(kMaxStations) + " stations");
    }
}

std::vector<SourceRecord> FetchFromServers(const std::vector<std::string>& servers,
                                           const FetchOptions& options) {
    std::string reasons;
    for (const auto& server : servers) {
        try {
            return FetchDirectory(server, options);
        } catch (const FetchError& e) {
            (reasons += reasons.empty() ? "" : "; ") += e.what();
        }
    }
    throw FetchError(servers.size() == 1 ? reasons : "no server gave the directory (" + reasons + ")");
}

} // namespace lumaro::catalogue
