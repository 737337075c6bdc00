#pragma once
// Radio Browser station records to catalogue station lines: parsing the
// directory's JSON, cleaning every field, our own style, country and language
// values, merging records of one station, ranking and choosing.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lumaro::catalogue {

// Input that holds no station records (not JSON, not objects, too large).
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The fields of one Radio Browser station record that the import reads, as
// the record gives them; a missing or mistyped field reads as empty or 0.
struct SourceRecord {
    std::string uuid, name, url, urlResolved, homepage, tags, countryCode, language, codec;
    std::string lastCheckTime, lastChangeTime; // "YYYY-MM-DD hh:mm:ss" UTC, empty when unknown
    int64_t votes = 0, clicks = 0, bitrate = 0;
    bool hls = false;
    bool lastCheckOk = true; // a record without the field is taken as reachable
};

// Bytes that start with the gzip magic are unpacked (all members); others
// come back unchanged. Corrupt data, or more than maxBytes unpacked, raises.
std::string InflateIfGzip(std::string bytes, size_t maxBytes = size_t{1} << 30);

// Station records of a JSON array (what /json/stations returns) or of JSON
// lines, one object a line. In JSON lines a line that is not an object is
// skipped and counted in *skipped; a text with no record at all raises.
std::vector<SourceRecord> ParseStationRecords(std::string_view json, size_t* skipped = nullptr);
// Only a JSON array of objects will do (one page of the API); raises otherwise.
std::vector<SourceRecord> ParseStationArray(std::string_view json);

// Valid UTF-8 with no control, line-break or bidirectional control character;
// runs of white space become one space, none at either end.
std::string CleanText(std::string_view text);
// CleanText, without a leading URL scheme that would make the station line
// read as a bare URL ("http://radio.example" becomes "radio.example").
std::string CleanName(std::string_view name);
// The URL trimmed, inner spaces as %20; empty when it is not http or https,
// has no host, holds control characters or is longer than 1,000 characters.
std::string CleanStreamUrl(std::string_view url);

// Lower case, '-' and '_' as spaces, apostrophes dropped, one space between
// words, no leading '#': the form the tag tables are written in.
std::string NormalTag(std::string_view tag);
// Lower case, one space between words, no leading '#'.
std::string NormalLanguageSpelling(std::string_view spelling);

// One of Genres() for a comma-separated tag list, "-" when no tag maps.
std::string StyleOfTags(std::string_view tags);
// English short name of an ISO 3166-1 alpha-2 code, "-" when empty or unknown.
std::string CountryOfCode(std::string_view code);
// English name of the first language of a comma-separated list, "-" when
// empty or not a language.
std::string LanguageOf(std::string_view languages);
// Our description of a record: its tags as a readable list, codec and bit
// rate, homepage, one per line joined by "<newline>"; "-" when none is known.
std::string DescriptionOf(std::string_view tags, std::string_view codec, int64_t bitrate, bool hls,
                          std::string_view homepage);

// A station as the catalogue holds it.
struct Station {
    std::string name, description, style, country, language;
    std::vector<std::string> urls; // 1 to 4, none shared with another station
    std::string countryCode;       // upper case, empty when unknown
    double rank = 0;               // higher is better
};

inline constexpr size_t kMaxUrlsPerStation = 4;

// Every station that passes, best first.
std::vector<Station> RankStations(const std::vector<SourceRecord>& records);
// The count best of ranked stations, in their order: every country's best
// one among them, and no country above a tenth of them.
std::vector<Station> ChooseStations(std::vector<Station> ranked, size_t count);
// RankStations, then ChooseStations when count is not 0.
std::vector<Station> ImportStations(const std::vector<SourceRecord>& records, size_t count = 0);

// The TAB-separated station line: name, description, style, country,
// language, then the URLs.
std::string StationLine(const Station& station);

} // namespace lumaro::catalogue
