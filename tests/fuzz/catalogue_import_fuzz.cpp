// The Radio Browser import on arbitrary bytes: the input is refused with an
// ImportError or gives records, and every station line made of them is one
// the catalogue can hold; the field rules hold for any text.
#include "data/station_record.h"
#include "data/text_codec.h"
#include "tools/catalogue_import.h"
#include "tools/catalogue_tables.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

using namespace lumaro;
using namespace lumaro::catalogue;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool IsValidUtf8(const std::string& s) {
    return AnsiFromWide(WideFromAnsi(s)) == s;
}

void CheckLine(const Station& s, std::unordered_set<std::string>& urls) {
    const std::string line = StationLine(s);
    Require(IsValidUtf8(line));
    Require(!IsBareUrlEntry(WideFromAnsi(line)));
    for (const std::string* field : {&s.name, &s.description, &s.style, &s.country, &s.language}) {
        Require(!field->empty());
        Require(CleanText(*field) == *field);
    }
    Require(!s.urls.empty() && s.urls.size() <= kMaxUrlsPerStation);
    for (const auto& url : s.urls) {
        Require(CleanStreamUrl(url) == url);
        Require(urls.insert(url).second);
    }
    const auto genres = Genres();
    Require(s.style == "-" || std::find(genres.begin(), genres.end(), s.style) != genres.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string clean = CleanText(bytes);
    Require(IsValidUtf8(clean) && CleanText(clean) == clean);
    Require(CleanName(bytes).find("://") == std::string::npos || CleanName(bytes).find("://") > 5);
    const std::string url = CleanStreamUrl(bytes);
    Require(url.empty() || CleanStreamUrl(url) == url);
    Require(NormalTag(NormalTag(bytes)) == NormalTag(bytes));
    Require(IsValidUtf8(DescriptionOf(bytes, bytes, static_cast<int64_t>(size), size % 2, bytes)));
    (void)StyleOfTags(bytes);
    (void)LanguageOf(bytes);
    (void)CountryOfCode(bytes);

    std::vector<SourceRecord> records;
    try {
        records = ParseStationRecords(InflateIfGzip(bytes, size_t{1} << 20));
    } catch (const ImportError&) {
        return 0;
    }
    for (size_t count : {size_t{0}, size_t{2}}) {
        std::unordered_set<std::string> urls;
        for (const auto& station : ImportStations(records, count))
            CheckLine(station, urls);
    }
    return 0;
}
