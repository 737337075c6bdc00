#include "browse/result_filter.h"

#include "browse/byte_search.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace lumaro {

bool HasNonAscii(std::u16string_view searchText) {
    return std::any_of(searchText.begin(), searchText.end(), [](char16_t c) { return c > 0x7F; });
}

std::string PrepareSearchText(std::u16string_view searchText) {
    std::string s = SearchForm(searchText);
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

ByteList SplitSearchWords(std::string_view prepared) {
    ByteList words;
    const size_t n = prepared.size();
    size_t i = 0;
    while (i < n) {
        while (i < n && IsWordDelimiter(static_cast<unsigned char>(prepared[i]))) ++i;
        if (i == n) break;
        const size_t start = i;
        while (i < n && !IsWordDelimiter(static_cast<unsigned char>(prepared[i]))) ++i;
        std::string word(prepared.substr(start, i - start));
        UpperAsciiInPlace(word.data(), word.size());
        if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(std::move(word));
    }
    return words;
}

TCategoryFields CategoryFieldsOf(std::string_view line) {
    std::string_view fields[5];
    const char* p = line.data();
    const char* const end = p + line.size();
    for (int f = 0; f < 5; ++f) {
        while (p < end && *p == '\t') ++p;
        if (p == end) break;
        const void* tab = std::memchr(p, '\t', static_cast<size_t>(end - p));
        const char* stop = tab ? static_cast<const char*>(tab) : end;
        fields[f] = std::string_view(p, static_cast<size_t>(stop - p));
        p = stop;
    }
    return {fields[2], fields[3], fields[4]};
}

void TResultFilter::BuildCopy(const ByteList& lines, std::string& text, std::vector<uint32_t>& starts) {
    size_t total = 0;
    for (const auto& line : lines) total += line.size() + 1;
    text.clear();
    text.reserve(total);
    starts.clear();
    starts.reserve(lines.size() + 1);
    for (const auto& line : lines) {
        starts.push_back(static_cast<uint32_t>(text.size()));
        text += line;
        text += '\n';
    }
    starts.push_back(static_cast<uint32_t>(text.size()));
    UpperAsciiInPlace(text.data(), text.size());
}

TResultFilter::TResultFilter(const TStationCatalogue& catalogue) {
    BuildCopy(catalogue.AnsiCopy(), ansiText_, ansiStart_);
    BuildCopy(catalogue.SearchCopy(), searchText_, searchStart_);
    const size_t count = catalogue.AnsiCopy().size();
    std::unordered_map<std::string_view, int32_t> known[3];
    for (auto& ids : ids_) ids.resize(count, -1);
    for (size_t i = 0; i < count; ++i) {
        const TCategoryFields f = CategoryFieldsOf(catalogue.AnsiLine(i));
        const std::string_view value[3] = {f.style, f.country, f.language};
        for (int k = 0; k < 3; ++k) {
            if (value[k].empty()) continue;
            auto [it, added] = known[k].try_emplace(value[k], static_cast<int32_t>(values_[k].size()));
            if (added) values_[k].emplace_back(value[k]);
            ids_[k][i] = it->second;
        }
    }
}

int32_t TResultFilter::ValueId(int kind, std::string_view value) const {
    if (value == kAllCategories) return -1;
    const auto& values = values_[kind];
    const auto it = std::find(values.begin(), values.end(), value);
    return it == values.end() ? -2 : static_cast<int32_t>(it - values.begin());
}

TResultList TResultFilter::BuildResultList(std::string_view style, std::string_view country,
                                           std::string_view language, std::string_view search,
                                           bool nonAscii) const {
    // -1: no restriction; -2: a choice no line holds.
    const int32_t want[3] = {ValueId(0, style), ValueId(1, country), ValueId(2, language)};
    const ByteList words = SplitSearchWords(search);
    const std::string& text = nonAscii ? searchText_ : ansiText_;
    const std::vector<uint32_t>& starts = nonAscii ? searchStart_ : ansiStart_;
    const size_t searchable = starts.empty() ? 0 : starts.size() - 1;

    TResultList result;
    const size_t count = Count();
    for (size_t i = 0; i < count; ++i) {
        bool pass = true;
        for (int k = 0; k < 3 && pass; ++k) pass = want[k] == -1 || ids_[k][i] == want[k];
        if (!pass) continue;
        if (!words.empty()) {
            if (i >= searchable) continue;
            const std::string_view line(text.data() + starts[i], starts[i + 1] - starts[i] - 1);
            for (const auto& word : words) {
                if (!ContainsBytes(line, word)) {
                    pass = false;
                    break;
                }
            }
            if (!pass) continue;
        }
        result.push_back(static_cast<int>(i));
    }
    return result;
}

} // namespace lumaro
