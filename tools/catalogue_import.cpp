#include "tools/catalogue_import.h"

#include "data/text_codec.h"
#include "tools/catalogue_tables.h"

#include <simdjson.h>
#include <unicode/uchar.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace lumaro::catalogue {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// Counts are bounded, so that sums over a station's records cannot overflow.
constexpr int64_t kMost = 1'000'000'000'000;

// The code point at s[i], advancing i; malformed, overlong and surrogate
// sequences give U+FFFD and skip one byte.
char32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) {
        ++i;
        return b;
    }
    size_t length = 0;
    char32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, cp = b & 0x07, min = 0x10000;
    }
    if (length == 0 || i + length > s.size()) {
        ++i;
        return kReplacement;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += length;
    return cp;
}

// Characters that may not stand in a station line or that break list files.
bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0xFFFE || c == 0xFFFF;
}

// Invisible characters that only steer direction or join nothing.
bool IsDropped(char32_t c) {
    return c == 0xFEFF || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
           c == 0x200F || c == 0x061C;
}

bool IsSpace(char32_t c) {
    return c == ' ' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

std::string Lower(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        AppendUtf8(out, static_cast<char32_t>(u_tolower(static_cast<UChar32>(NextCodePoint(text, i)))));
    return out;
}

std::string_view TrimAscii(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
    return true;
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Words of a normal tag or spelling: split at spaces and punctuation.
std::vector<std::string_view> WordsOf(std::string_view text, std::string_view delimiters) {
    std::vector<std::string_view> words;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find_first_of(delimiters, start), text.size());
        if (end > start) words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

using Lookup = std::unordered_map<std::string_view, std::string_view>;

Lookup MakeLookup(std::span<const TableEntry> entries) {
    Lookup map;
    map.reserve(entries.size());
    for (const auto& e : entries)
        map.emplace(e.key, e.value);
    return map;
}

const Lookup& TagLookup() {
    static const Lookup map = MakeLookup(TagGenres());
    return map;
}

const Lookup& WordLookup() {
    static const Lookup map = MakeLookup(GenreWords());
    return map;
}

const Lookup& CountryLookup() {
    static const Lookup map = MakeLookup(CountryNames());
    return map;
}

const Lookup& LanguageLookup() {
    static const Lookup map = MakeLookup(LanguageNames());
    return map;
}

size_t GenrePriority(std::string_view genre) {
    const auto genres = Genres();
    return static_cast<size_t>(std::find(genres.begin(), genres.end(), genre) - genres.begin());
}

// The genre with the most votes; on a tie, the one earlier in Genres().
std::string_view Winner(const std::map<size_t, int>& votes) {
    size_t best = 0;
    int most = 0;
    for (const auto& [priority, n] : votes) {
        if (n > most) {
            most = n;
            best = priority;
        }
    }
    return most == 0 ? std::string_view() : Genres()[best];
}

std::string_view GenreOfTag(std::string_view tag) {
    const std::string normal = NormalTag(tag);
    if (normal.empty()) return {};
    if (auto it = TagLookup().find(normal); it != TagLookup().end()) return it->second;
    std::map<size_t, int> votes;
    for (std::string_view word : WordsOf(normal, " /&,.+()!:;|*")) {
        if (auto it = WordLookup().find(word); it != WordLookup().end()) ++votes[GenrePriority(it->second)];
    }
    return Winner(votes);
}

std::string_view LanguageOfSpelling(std::string_view spelling) {
    const Lookup& names = LanguageLookup();
    const auto find = [&](std::string_view key) -> std::string_view {
        auto it = names.find(key);
        return it == names.end() ? std::string_view() : it->second;
    };
    if (auto name = find(spelling); !name.empty()) return name;
    // "язык: русский" ("language: Russian")
    constexpr std::string_view kLanguagePrefix = "\xD1\x8F\xD0\xB7\xD1\x8B\xD0\xBA:";
    if (spelling.starts_with(kLanguagePrefix))
        return find(TrimAscii(spelling.substr(kLanguagePrefix.size())));
    // A part or word of a longer spelling must be longer than a language
    // code, or "san salvador" would be Sanskrit.
    const auto findName = [&](std::string_view key) {
        return key.size() > 3 ? find(key) : std::string_view();
    };
    // "castellano. español", "english/russian", "español - latinoamerica"
    const auto parts = WordsOf(spelling, "/;.&()-:+|");
    if (!parts.empty()) {
        const std::string_view first = TrimAscii(parts.front());
        if (auto name = findName(first); !name.empty()) return name;
        // "español mexico", "deutsch fränkisch", "english uk"
        const auto words = WordsOf(first, " ");
        if (!words.empty()) return findName(words.front());
    }
    return {};
}

std::string_view CodecName(std::string_view codec) {
    codec = TrimAscii(codec.substr(0, codec.find(',')));
    if (codec.empty() || codec == "UNKNOWN") return {};
    if (codec == "OGG") return "Ogg";
    if (codec == "OPUS") return "Opus";
    return codec;
}

// Tags that only repeat what the codec line says, or say nothing.
bool IsEmptyTag(std::string_view normal) {
    static const std::unordered_set<std::string_view> empty = {
        "mp3",          "aac",          "aac+",   "ogg",      "opus",      "flac",
        "m3u8",         "hls",          "http",   "https",    "icecast",   "shoutcast",
        "stream",       "streaming",    "radio",  "music",    "fm",        "am",
        "online",       "live",         "24/7",   "webradio", "web radio", "internet radio",
        "radio online", "online radio", "música", "musica",   "estación",  "estacion",
        "station",      "misc",         "other",  "undefined"};
    if (empty.contains(normal)) return true;
    // "128kbps", "64 kbit/s", "320 kbps"
    size_t digits = 0;
    while (digits < normal.size() && std::isdigit(static_cast<unsigned char>(normal[digits])))
        ++digits;
    if (digits == 0) return false;
    std::string_view unit = TrimAscii(normal.substr(digits));
    return unit == "kbps" || unit == "kbit/s" || unit == "k" || unit.empty();
}

std::string CapitalizeFirst(std::string text) {
    size_t i = 0;
    if (text.empty()) return text;
    const char32_t first = NextCodePoint(text, i);
    std::string out;
    AppendUtf8(out, static_cast<char32_t>(u_totitle(static_cast<UChar32>(first))));
    return out + text.substr(i);
}

bool RecentlyChecked(const SourceRecord& r, const std::string& cutoff) {
    return !r.lastCheckTime.empty() && r.lastCheckTime >= cutoff;
}

// What decides which of two records of one station leads: a recent check,
// then votes, then clicks.
bool Leads(const SourceRecord& a, const SourceRecord& b, const std::string& cutoff) {
    const bool ra = RecentlyChecked(a, cutoff), rb = RecentlyChecked(b, cutoff);
    if (ra != rb) return ra;
    if (a.votes != b.votes) return a.votes > b.votes;
    if (a.clicks != b.clicks) return a.clicks > b.clicks;
    return a.uuid < b.uuid;
}

// A check older than three years before the newest check of the input
// counts as stale: the station may well have gone since.
std::string StaleBefore(const std::vector<const SourceRecord*>& records) {
    std::string newest;
    for (const auto* r : records)
        newest = std::max(newest, r->lastCheckTime);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (newest.size() < 4 || !std::all_of(newest.begin(), newest.begin() + 4, digit)) return {};
    return std::to_string(std::stoi(newest.substr(0, 4)) - 3) + newest.substr(4);
}

// --- JSON ---------------------------------------------------------------

std::string StringOf(simdjson::dom::object object, std::string_view key) {
    simdjson::dom::element value;
    if (object[key].get(value) != simdjson::SUCCESS) return {};
    std::string_view text;
    if (value.get_string().get(text) == simdjson::SUCCESS) return std::string(text);
    return {};
}

int64_t IntOf(simdjson::dom::object object, std::string_view key, int64_t missing = 0) {
    simdjson::dom::element value;
    if (object[key].get(value) != simdjson::SUCCESS) return missing;
    switch (value.type()) {
    case simdjson::dom::element_type::INT64:
        return value.get_int64().value_unsafe();
    case simdjson::dom::element_type::UINT64:
        return INT64_MAX;
    case simdjson::dom::element_type::DOUBLE: {
        const double d = value.get_double().value_unsafe();
        return std::isfinite(d) ? static_cast<int64_t>(std::clamp(d, -9e18, 9e18)) : 0;
    }
    case simdjson::dom::element_type::BOOL:
        return value.get_bool().value_unsafe() ? 1 : 0;
    case simdjson::dom::element_type::STRING: {
        const std::string_view text = value.get_string().value_unsafe();
        int64_t n = 0;
        size_t i = 0;
        for (; i < text.size() && i < 18 && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
            n = n * 10 + (text[i] - '0');
        return i > 0 ? n : missing;
    }
    default:
        return missing;
    }
}

SourceRecord RecordOf(simdjson::dom::object o) {
    SourceRecord r;
    r.uuid = StringOf(o, "stationuuid");
    r.name = StringOf(o, "name");
    r.url = StringOf(o, "url");
    r.urlResolved = StringOf(o, "url_resolved");
    r.homepage = StringOf(o, "homepage");
    r.tags = StringOf(o, "tags");
    r.countryCode = StringOf(o, "countrycode");
    r.language = StringOf(o, "language");
    r.codec = StringOf(o, "codec");
    r.lastCheckTime = StringOf(o, "lastchecktime");
    r.lastChangeTime = StringOf(o, "lastchangetime");
    r.votes = std::clamp<int64_t>(IntOf(o, "votes"), 0, kMost);
    r.clicks = std::clamp<int64_t>(IntOf(o, "clickcount"), 0, kMost);
    r.bitrate = std::clamp<int64_t>(IntOf(o, "bitrate"), 0, kMost);
    r.hls = IntOf(o, "hls") != 0;
    r.lastCheckOk = IntOf(o, "lastcheckok", 1) != 0;
    return r;
}

std::string_view SkipBomAndSpace(std::string_view json) {
    if (json.starts_with("\xEF\xBB\xBF")) json.remove_prefix(3);
    while (!json.empty() &&
           (json.front() == ' ' || json.front() == '\t' || json.front() == '\r' || json.front() == '\n'))
        json.remove_prefix(1);
    return json;
}

std::vector<SourceRecord> ParseArray(simdjson::dom::parser& parser, const simdjson::padded_string& text) {
    simdjson::dom::element root;
    if (const auto error = parser.parse(text).get(root); error != simdjson::SUCCESS)
        throw ImportError(std::string("not valid JSON (") + simdjson::error_message(error) + ")");
    simdjson::dom::array array;
    if (root.get_array().get(array) != simdjson::SUCCESS)
        throw ImportError("not a JSON array of station records");
    std::vector<SourceRecord> records;
    records.reserve(array.size());
    for (simdjson::dom::element item : array) {
        simdjson::dom::object object;
        if (item.get_object().get(object) != simdjson::SUCCESS)
            throw ImportError("the JSON array holds something other than station records");
        records.push_back(RecordOf(object));
    }
    return records;
}

} // namespace

// --- decompression ------------------------------------------------------

std::string InflateIfGzip(std::string bytes, size_t maxBytes) {
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0x1F ||
        static_cast<unsigned char>(bytes[1]) != 0x8B)
        return bytes;
    z_stream zs{};
    if (inflateInit2(&zs, 16 + MAX_WBITS) != Z_OK) throw ImportError("cannot start gzip decompression");
    std::string out;
    out.reserve(std::min(maxBytes, bytes.size() * 5));
    zs.next_in = reinterpret_cast<Bytef*>(bytes.data());
    zs.avail_in = static_cast<uInt>(std::min<size_t>(bytes.size(), UINT32_MAX));
    char chunk[1 << 16];
    int status = Z_OK;
    for (;;) {
        zs.next_out = reinterpret_cast<Bytef*>(chunk);
        zs.avail_out = sizeof chunk;
        status = inflate(&zs, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) break;
        const size_t produced = sizeof chunk - zs.avail_out;
        if (out.size() + produced > maxBytes) {
            inflateEnd(&zs);
            throw ImportError("gzip data unpacks to more than " + std::to_string(maxBytes >> 20) + " MiB");
        }
        out.append(chunk, produced);
        if (status == Z_STREAM_END) {
            // another gzip member may follow
            if (zs.avail_in == 0) break;
            if (inflateReset(&zs) != Z_OK) break;
            continue;
        }
        if (status == Z_BUF_ERROR && produced == 0) break; // input ends inside a member
    }
    inflateEnd(&zs);
    if (status != Z_STREAM_END) throw ImportError("corrupt or cut-off gzip data");
    return out;
}

// --- parsing ------------------------------------------------------------

std::vector<SourceRecord> ParseStationArray(std::string_view json) {
    simdjson::dom::parser parser;
    return ParseArray(parser, simdjson::padded_string(json));
}

std::vector<SourceRecord> ParseStationRecords(std::string_view json, size_t* skipped) {
    if (skipped) *skipped = 0;
    const std::string_view start = SkipBomAndSpace(json);
    if (start.empty()) throw ImportError("empty input: no station records");
    simdjson::dom::parser parser;
    if (start.front() == '[') return ParseArray(parser, simdjson::padded_string(start));
    if (start.front() != '{') throw ImportError("not JSON: station records start with '[' or '{'");

    // JSON lines: one padded copy, each line parsed in place.
    const simdjson::padded_string text(start);
    const std::string_view all(text.data(), text.size());
    std::vector<SourceRecord> records;
    size_t bad = 0;
    for (size_t begin = 0; begin < all.size();) {
        const size_t end = std::min(all.find('\n', begin), all.size());
        std::string_view line = TrimAscii(all.substr(begin, end - begin));
        begin = end + 1;
        if (line.empty()) continue;
        simdjson::dom::element element;
        simdjson::dom::object object;
        if (parser.parse(line.data(), line.size(), false).get(element) != simdjson::SUCCESS ||
            element.get_object().get(object) != simdjson::SUCCESS) {
            ++bad;
            continue;
        }
        records.push_back(RecordOf(object));
    }
    if (records.empty()) throw ImportError("not JSON lines of station records");
    if (skipped) *skipped = bad;
    return records;
}

// --- fields -------------------------------------------------------------

std::string CleanText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool space = false;
    for (size_t i = 0; i < text.size();) {
        const char32_t c = NextCodePoint(text, i);
        if (IsDropped(c)) continue;
        if (IsControl(c) || IsSpace(c)) {
            space = !out.empty();
            continue;
        }
        if (space) out += ' ';
        space = false;
        AppendUtf8(out, c);
    }
    return out;
}

std::string CleanName(std::string_view name) {
    std::string clean = CleanText(name);
    // a station line whose "://" comes within its first six characters reads as a bare URL
    for (size_t scheme = clean.find("://"); scheme != std::string::npos && scheme <= 5;
         scheme = clean.find("://"))
        clean = CleanText(clean.substr(scheme + 3));
    return clean;
}

std::string CleanStreamUrl(std::string_view url) {
    url = TrimAscii(url);
    size_t schemeLength = 0;
    if (StartsWithNoCase(url, "http://"))
        schemeLength = 7;
    else if (StartsWithNoCase(url, "https://"))
        schemeLength = 8;
    if (schemeLength == 0 || url.size() <= schemeLength || url[schemeLength] == '/') return {};
    std::string out;
    out.reserve(url.size());
    for (size_t i = 0; i < schemeLength; ++i)
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(url[i])));
    size_t characters = schemeLength;
    for (size_t i = schemeLength; i < url.size();) {
        const char32_t c = NextCodePoint(url, i);
        if (c == ' ')
            out += "%20";
        else if (IsControl(c) || IsDropped(c) || IsSpace(c) || c == kReplacement)
            return {};
        else
            AppendUtf8(out, c);
        if (++characters > 1000) return {};
    }
    return out;
}

std::string NormalTag(std::string_view tag) {
    std::string lowered = Lower(CleanText(tag));
    std::string out;
    out.reserve(lowered.size());
    for (size_t i = 0; i < lowered.size();) {
        const size_t at = i;
        const char32_t c = NextCodePoint(lowered, i);
        if (c == '\'' || c == 0x2019 || c == '`') continue;
        if (c == '-' || c == '_' || c == ' ') {
            if (!out.empty() && out.back() != ' ') out += ' ';
            continue;
        }
        if (c == '#' && out.empty()) continue;
        out.append(lowered, at, i - at);
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string NormalLanguageSpelling(std::string_view spelling) {
    std::string out = Lower(CleanText(spelling));
    const size_t start = out.find_first_not_of("# ");
    return start == std::string::npos ? std::string() : out.substr(start);
}

std::string StyleOfTags(std::string_view tags) {
    std::map<size_t, int> votes;
    std::unordered_set<std::string> seen;
    for (std::string_view tag : SplitAt(tags, ',')) {
        if (!seen.insert(NormalTag(tag)).second) continue;
        const std::string_view genre = GenreOfTag(tag);
        if (!genre.empty()) ++votes[GenrePriority(genre)];
    }
    const std::string_view winner = Winner(votes);
    return winner.empty() ? "-" : std::string(winner);
}

std::string CountryOfCode(std::string_view code) {
    std::string upper(TrimAscii(code));
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto it = CountryLookup().find(upper);
    return it == CountryLookup().end() ? "-" : std::string(it->second);
}

std::string LanguageOf(std::string_view languages) {
    const std::string first = NormalLanguageSpelling(languages.substr(0, languages.find(',')));
    const std::string_view name = first.empty() ? std::string_view() : LanguageOfSpelling(first);
    return name.empty() ? "-" : std::string(name);
}

std::string DescriptionOf(std::string_view tags, std::string_view codec, int64_t bitrate, bool hls,
                          std::string_view homepage) {
    constexpr size_t kMaxTags = 8, kMaxTagLength = 40;
    std::vector<std::string> lines;

    std::string list;
    std::unordered_set<std::string> seen;
    size_t shown = 0;
    for (std::string_view raw : SplitAt(tags, ',')) {
        const std::string tag = CleanText(raw);
        const std::string normal = NormalTag(tag);
        // a tag holding "://" could make a short name's line read as a bare URL
        if (normal.empty() || tag.size() > kMaxTagLength || IsEmptyTag(normal) ||
            tag.find("://") != std::string::npos || !seen.insert(normal).second)
            continue;
        if (shown++ == kMaxTags) break;
        if (!list.empty()) list += ", ";
        list += tag;
    }
    if (!list.empty()) lines.push_back(CapitalizeFirst(std::move(list)));

    std::string sound(CodecName(CleanText(codec)));
    if (bitrate > 0 && bitrate < 100000)
        (sound += sound.empty() ? "" : " ") += std::to_string(bitrate) + " kbps";
    if (hls) sound += sound.empty() ? "HLS" : " (HLS)";
    if (!sound.empty()) lines.push_back(std::move(sound));

    const std::string page = CleanStreamUrl(homepage);
    if (!page.empty()) lines.push_back(page);

    std::string description;
    for (const auto& line : lines)
        (description += description.empty() ? "" : "<newline>") += line;
    return description.empty() ? "-" : description;
}

// --- stations -----------------------------------------------------------

std::vector<Station> RankStations(const std::vector<SourceRecord>& records) {
    // one record per stationuuid: the latest change, then the latest check
    std::vector<const SourceRecord*> live;
    std::unordered_map<std::string_view, size_t> byUuid;
    for (const auto& r : records) {
        if (!r.lastCheckOk) continue;
        if (r.uuid.empty()) {
            live.push_back(&r);
            continue;
        }
        const auto [it, added] = byUuid.emplace(r.uuid, live.size());
        if (added) {
            live.push_back(&r);
        } else {
            const SourceRecord*& held = live[it->second];
            if (std::tie(r.lastChangeTime, r.lastCheckTime) >
                std::tie(held->lastChangeTime, held->lastCheckTime))
                held = &r;
        }
    }
    const std::string staleBefore = StaleBefore(live);

    // records of one name (case and spaces aside) in one country are one station
    struct Group {
        std::vector<const SourceRecord*> records;
        std::string name, countryCode;
    };
    std::vector<Group> groups;
    std::unordered_map<std::string, size_t> byKey;
    for (const auto* r : live) {
        std::string name = CleanName(r->name);
        std::string code = std::string(TrimAscii(r->countryCode));
        for (char& c : code)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        // a record without a name is a station of its own
        const std::string key =
            name.empty() ? "\t" + std::to_string(groups.size()) : Lower(name) + "\t" + code;
        const auto [it, added] = byKey.emplace(key, groups.size());
        if (added) groups.push_back({{}, std::move(name), std::move(code)});
        groups[it->second].records.push_back(r);
    }

    std::vector<Station> stations;
    stations.reserve(groups.size());
    for (auto& g : groups) {
        std::sort(g.records.begin(), g.records.end(),
                  [&](const SourceRecord* a, const SourceRecord* b) { return Leads(*a, *b, staleBefore); });
        const SourceRecord& lead = *g.records.front();
        Station s;
        s.countryCode = g.countryCode;
        s.name = CleanName(lead.name);
        std::string tags, homepage, language;
        int64_t votes = 0, clicks = 0;
        bool recent = false;
        for (const auto* r : g.records) {
            for (const std::string* url : {&r->urlResolved, &r->url}) {
                std::string clean = CleanStreamUrl(*url);
                if (!clean.empty() && s.urls.size() < kMaxUrlsPerStation &&
                    std::find(s.urls.begin(), s.urls.end(), clean) == s.urls.end())
                    s.urls.push_back(std::move(clean));
            }
            if (!r->tags.empty()) (tags += tags.empty() ? "" : ",") += r->tags;
            if (homepage.empty() && !CleanStreamUrl(r->homepage).empty()) homepage = r->homepage;
            if (language.empty() && !TrimAscii(r->language).empty()) language = r->language;
            votes += std::clamp<int64_t>(r->votes, 0, kMost);
            clicks += std::clamp<int64_t>(r->clicks, 0, kMost);
            recent = recent || RecentlyChecked(*r, staleBefore);
        }
        if (s.urls.empty()) continue;
        if (s.name.empty()) s.name = "-";
        s.description = DescriptionOf(tags, lead.codec, lead.bitrate, lead.hls, homepage);
        s.style = StyleOfTags(tags);
        s.country = CountryOfCode(g.countryCode);
        s.language = LanguageOf(language);
        // votes count for a station's standing over years, clicks for its
        // listeners of the last day; a stale check costs about a factor 4.5
        s.rank = std::log1p(static_cast<double>(votes)) + 0.5 * std::log1p(static_cast<double>(clicks)) -
                 (recent ? 0.0 : 1.5);
        stations.push_back(std::move(s));
    }
    std::sort(stations.begin(), stations.end(), [](const Station& a, const Station& b) {
        if (a.rank != b.rank) return a.rank > b.rank;
        if (a.name != b.name) return a.name < b.name;
        return a.urls < b.urls;
    });

    // a stream belongs to the best station that lists it
    std::unordered_set<std::string> taken;
    std::vector<Station> distinct;
    distinct.reserve(stations.size());
    for (auto& s : stations) {
        std::erase_if(s.urls, [&](const std::string& url) { return !taken.insert(url).second; });
        if (!s.urls.empty()) distinct.push_back(std::move(s));
    }
    return distinct;
}

std::vector<Station> ChooseStations(std::vector<Station> distinct, size_t count) {
    if (count >= distinct.size()) return distinct;

    // every country's best station first, then the best of the rest while
    // their country holds less than a tenth of the count
    const size_t cap = std::max<size_t>(1, count / 10);
    std::vector<bool> chosen(distinct.size());
    std::unordered_map<std::string_view, size_t> perCountry;
    size_t chosenCount = 0;
    for (size_t i = 0; i < distinct.size() && chosenCount < count; ++i) {
        if (perCountry.emplace(distinct[i].countryCode, 1).second) {
            chosen[i] = true;
            ++chosenCount;
        }
    }
    for (size_t i = 0; i < distinct.size() && chosenCount < count; ++i) {
        if (chosen[i]) continue;
        size_t& held = perCountry[distinct[i].countryCode];
        if (held >= cap) continue;
        ++held;
        chosen[i] = true;
        ++chosenCount;
    }
    // countries too few to fill the count with: the rest by rank
    for (size_t i = 0; i < distinct.size() && chosenCount < count; ++i) {
        if (!chosen[i]) {
            chosen[i] = true;
            ++chosenCount;
        }
    }
    std::vector<Station> kept;
    kept.reserve(count);
    for (size_t i = 0; i < distinct.size(); ++i)
        if (chosen[i]) kept.push_back(std::move(distinct[i]));
    return kept;
}

std::vector<Station> ImportStations(const std::vector<SourceRecord>& records, size_t count) {
    std::vector<Station> ranked = RankStations(records);
    return count == 0 ? ranked : ChooseStations(std::move(ranked), count);
}

std::string StationLine(const Station& station) {
    std::string line = station.name;
    for (const std::string* field :
         {&station.description, &station.style, &station.country, &station.language})
        (line += '\t') += *field;
    for (const auto& url : station.urls)
        (line += '\t') += url;
    return line;
}

} // namespace lumaro::catalogue
