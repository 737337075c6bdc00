#pragma once
// Fetching the whole Radio Browser directory over HTTP(S) with libcurl: the
// server list from a mirror, then /json/stations page by page, failing over
// from one server to the next.

#include "tools/catalogue_import.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumaro::catalogue {

// One line saying what failed and where; never holds a line break.
class FetchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kUserAgent = "LumaroRadio/1.2";

// Servers asked for the list of API servers when none is given.
std::vector<std::string> KnownMirrors();

struct FetchOptions {
    // seconds without a byte (connecting included) before a server is given up
    long stallSeconds = 30;
    // stations asked for with each request
    size_t pageSize = 10000;
    // told the server and the stations received so far, after every page
    std::function<void(const std::string& server, size_t stations)> progress;
};

// The body of a GET; an HTTP status of 400 or more, a transfer error or a
// stall raises FetchError.
std::string HttpGet(const std::string& url, const FetchOptions& options);

// Asks the mirrors, in random order, for /json/servers until one answers;
// the servers it names are reached the way that mirror was ("https://name"),
// in random order.
std::vector<std::string> ServersFromMirrors(const std::vector<std::string>& mirrors,
                                            const FetchOptions& options);

// Every station record of one server, through /json/stations with offset,
// limit and hidebroken=true, until a page brings nothing new.
std::vector<SourceRecord> FetchDirectory(const std::string& server, const FetchOptions& options);

// FetchDirectory from the first server, then the next when it fails, and so
// on; raises with every server's reason when none gives the directory.
std::vector<SourceRecord> FetchFromServers(const std::vector<std::string>& servers,
                                           const FetchOptions& options);

} // namespace lumaro::catalogue
