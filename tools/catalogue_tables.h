#pragma once
// The tables the importer normalises Radio Browser records with: our own
// genres and the tags that stand for them, country names by ISO 3166-1 code
// and language names by the many ways records spell them.

#include <span>
#include <string>
#include <string_view>

namespace lumaro::catalogue {

struct TableEntry {
    std::string_view key;
    std::string_view value;
};

// Our genres, most specific first: when a record's tags point to several
// equally often, the earlier one wins.
std::span<const std::string_view> Genres();

// Tags in their normal form (NormalTag) and the genre each stands for.
std::span<const TableEntry> TagGenres();
// Words that give their genre to a tag not in TagGenres ("smooth jazz fm").
std::span<const TableEntry> GenreWords();
// Frequent tags that name no genre (places, networks, formats, languages).
std::span<const std::string_view> TagsWithoutGenre();

// ISO 3166-1 alpha-2 code (upper case) to English short name.
std::span<const TableEntry> CountryNames();

// A spelling of a language (NormalLanguageSpelling) to its English name.
std::span<const TableEntry> LanguageNames();
// Frequent language fields that name no language ("undefined", city names).
std::span<const std::string_view> SpellingsWithoutLanguage();

} // namespace lumaro::catalogue
