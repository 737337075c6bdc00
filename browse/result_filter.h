#pragma once
// The filter behind the results view: three category choices and the words of
// the search box narrow the catalogue to TResultList.

#include "data/station_catalogue.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumaro {

// Ascending catalogue positions that pass the filter.
using TResultList = std::vector<int>;

// The choice that lifts a category's restriction.
inline constexpr std::string_view kAllCategories = "All";

// True when the text holds a character above U+007F: the words are then
// matched against the search copy instead of the 8-bit copy.
bool HasNonAscii(std::u16string_view searchText);

// The search box text lower-cased, UTF-8 encoded, with bytes <= 32 trimmed
// from both ends.
std::string PrepareSearchText(std::u16string_view searchText);

// True for the bytes that separate search words: controls, the space and
// ASCII punctuation except the backquote.
constexpr bool IsWordDelimiter(unsigned char c) {
    return (c >= 1 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 95) || (c >= 123 && c <= 126);
}

// The distinct words of a prepared search text, ASCII letters upper-cased,
// in order of first appearance.
ByteList SplitSearchWords(std::string_view prepared);

// Field 2, 3 and 4 of an 8-bit line split at runs of TABs; empty views for
// fields the line lacks.
struct TCategoryFields {
    std::string_view style, country, language;
};
TCategoryFields CategoryFieldsOf(std::string_view ansiLine);

// Built once over the catalogue (which never changes after start-up):
// upper-cased copies of both derived lists and the category values of every
// line as small numbers, so a filter run converts nothing.
class TResultFilter {
public:
    TResultFilter() = default;
    explicit TResultFilter(const TStationCatalogue& catalogue);

    // style, country, language: 8-bit choices ("All" lifts the restriction);
    // search: a prepared search text. Exact, case-sensitive category matches;
    // every word must occur in the line (ASCII case ignored), in the search
    // copy when nonAscii is set, else in the 8-bit copy. A line without the
    // compared field, or without a search-copy entry, does not match.
    TResultList BuildResultList(std::string_view style, std::string_view country, std::string_view language,
                                std::string_view search, bool nonAscii) const;

    size_t Count() const { return ansiStart_.empty() ? 0 : ansiStart_.size() - 1; }

private:
    static void BuildCopy(const ByteList& lines, std::string& text, std::vector<uint32_t>& starts);
    int32_t ValueId(int kind, std::string_view value) const;

    // Every line upper-cased and joined with '\n'; line i is
    // text[start[i] .. start[i+1]-1).
    std::string ansiText_, searchText_;
    std::vector<uint32_t> ansiStart_, searchStart_;
    // Per line: the id of its style, country and language; -1 when missing.
    std::vector<int32_t> ids_[3];
    // The distinct values of each kind, index = id.
    std::vector<std::string> values_[3];
};

} // namespace lumaro
