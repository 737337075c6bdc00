#include "tools/catalogue_generator.h"

#include "data/scrambled_list_file.h"

#include <array>
#include <random>
#include <string_view>

namespace lumaro {

namespace {

// clang-format off
constexpr std::string_view kGenres[] = {
    "Jazz", "Blues", "Rock", "Pop", "Classical", "News", "Talk", "Electronic", "Ambient", "Folk",
    "Country", "Reggae", "Hip Hop", "Soul", "Funk", "Disco", "House", "Techno", "Trance", "Metal",
    "Punk", "Indie", "Alternative", "Latin", "Salsa", "Tango", "Samba", "Bossa Nova", "Gospel", "Opera",
    "Chillout", "Lounge", "Oldies", "Dance", "Drum and Bass", "Dubstep", "Ska", "R&B", "World", "Sport",
    "Religious", "Christian", "Chanson", "Schlager", "Flamenco", "Fado", "K-Pop", "J-Pop", "Bollywood",
    "Afrobeat", "Highlife", "Zouk", "Kompa", "Cumbia", "Bachata", "Merengue", "Reggaeton", "Grunge",
    "Soundtrack", "Comedy"};
constexpr std::string_view kModifiers[] = {"", "Classic ", "Smooth ", "Modern ", "Hard ", "Deep ",
                                           "Acoustic ", "Progressive ", "80s ", "90s ", "Traditional ",
                                           "Experimental "};

constexpr std::string_view kCountries[] = {
    "Afghanistan", "Albania", "Algeria", "Andorra", "Angola", "Argentina", "Armenia", "Australia",
    "Austria", "Azerbaijan", "Bahamas", "Bahrain", "Bangladesh", "Barbados", "Belarus", "Belgium",
    "Belize", "Benin", "Bhutan", "Bolivia", "Bosnia and Herzegovina", "Botswana", "Brazil", "Brunei",
    "Bulgaria", "Burkina Faso", "Burundi", "Cambodia", "Cameroon", "Canada", "Cape Verde", "Chad",
    "Chile", "China", "Colombia", "Comoros", "Congo", "Costa Rica", "Croatia", "Cuba", "Cyprus",
    "Czechia", "Denmark", "Djibouti", "Dominica", "Dominican Republic", "Ecuador", "Egypt",
    "El Salvador", "Estonia", "Eswatini", "Ethiopia", "Fiji", "Finland", "France", "Gabon", "Gambia",
    "Georgia", "Germany", "Ghana", "Greece", "Grenada", "Guatemala", "Guinea", "Guyana", "Haiti",
    "Honduras", "Hungary", "Iceland", "India", "Indonesia", "Iran", "Iraq", "Ireland", "Israel", "Italy",
    "Jamaica", "Japan", "Jordan", "Kazakhstan", "Kenya", "Kiribati", "Kosovo", "Kuwait", "Kyrgyzstan",
    "Laos", "Latvia", "Lebanon", "Lesotho", "Liberia", "Libya", "Liechtenstein", "Lithuania",
    "Luxembourg", "Madagascar", "Malawi", "Malaysia", "Maldives", "Mali", "Malta", "Mauritania",
    "Mauritius", "Mexico", "Moldova", "Monaco", "Mongolia", "Montenegro", "Morocco", "Mozambique",
    "Myanmar", "Namibia", "Nepal", "Netherlands", "New Zealand", "Nicaragua", "Niger", "Nigeria",
    "North Macedonia", "Norway", "Oman", "Pakistan", "Palau", "Panama", "Papua New Guinea", "Paraguay",
    "Peru", "Philippines", "Poland", "Portugal", "Qatar", "Romania", "Russia", "Rwanda", "Samoa",
    "San Marino", "Saudi Arabia", "Senegal", "Serbia", "Seychelles", "Sierra Leone", "Singapore",
    "Slovakia", "Slovenia", "Somalia", "South Africa", "South Korea", "South Sudan", "Spain", "Sri Lanka",
    "Sudan", "Suriname", "Sweden", "Switzerland", "Syria", "Taiwan", "Tajikistan", "Tanzania",
    "Thailand", "Togo", "Tonga", "Trinidad and Tobago", "Tunisia", "Turkey", "Turkmenistan", "Tuvalu",
    "Uganda", "Ukraine", "United Arab Emirates", "United Kingdom", "United States", "Uruguay",
    "Uzbekistan", "Vanuatu", "Vatican City", "Venezuela", "Vietnam", "Yemen", "Zambia", "Zimbabwe",
    "Côte d'Ivoire", "São Tomé and Príncipe", "Curaçao", "Réunion", "Åland Islands", "Puerto Rico",
    "Greenland", "Faroe Islands", "Gibraltar", "Guam", "Hong Kong", "Macao", "Martinique", "Guadeloupe",
    "Bermuda", "Aruba", "Jersey", "Isle of Man"};

constexpr std::string_view kLanguages[] = {
    "English", "German", "French", "Spanish", "Portuguese", "Italian", "Dutch", "Russian", "Ukrainian",
    "Polish", "Czech", "Slovak", "Hungarian", "Romanian", "Bulgarian", "Serbian", "Croatian", "Bosnian",
    "Slovenian", "Macedonian", "Albanian", "Greek", "Turkish", "Arabic", "Hebrew", "Persian", "Kurdish",
    "Armenian", "Georgian", "Azerbaijani", "Kazakh", "Uzbek", "Hindi", "Urdu", "Bengali", "Punjabi",
    "Tamil", "Telugu", "Malayalam", "Kannada", "Marathi", "Gujarati", "Nepali", "Sinhala", "Thai", "Lao",
    "Khmer", "Vietnamese", "Indonesian", "Malay", "Tagalog", "Chinese", "Cantonese", "Japanese", "Korean",
    "Mongolian", "Tibetan", "Swahili", "Amharic", "Somali", "Yoruba", "Igbo", "Hausa", "Zulu", "Xhosa",
    "Afrikaans", "Shona", "Malagasy", "Wolof", "Lingala", "Finnish", "Estonian", "Latvian", "Lithuanian",
    "Swedish", "Norwegian", "Danish", "Icelandic", "Faroese", "Irish", "Welsh", "Scottish Gaelic",
    "Breton", "Basque", "Catalan", "Galician", "Occitan", "Corsican", "Luxembourgish", "Maltese",
    "Esperanto", "Latin", "Yiddish", "Quechua", "Guarani", "Aymara", "Maori", "Samoan", "Tongan",
    "Hawaiian", "Haitian Creole", "Papiamento", "Frisian"};

// Scripts for non-Latin names: first code point and the size of a letter range.
struct Script {
    char32_t first;
    unsigned count;
};
constexpr Script kScripts[] = {
    {0x0430, 32}, // Cyrillic lower case
    {0x03B1, 25}, // Greek lower case
    {0x0627, 26}, // Arabic letters
    {0x05D0, 27}, // Hebrew
    {0x0915, 37}, // Devanagari consonants
    {0x0E01, 46}, // Thai
    {0x3042, 83}, // Hiragana
    {0x30A2, 83}, // Katakana
    {0xAC00, 2000}, // Hangul syllables
    {0x4E00, 3000}, // CJK ideographs
    {0x10D0, 33}, // Georgian
    {0x0531, 38}, // Armenian upper case
};

constexpr std::string_view kNameWords[] = {
    "Radio", "FM", "Sound", "Wave", "City", "Classic", "Jazz", "Hits", "Star", "Sun", "Blue", "Nova",
    "Capital", "Metro", "Vibe", "Planet", "Echo", "Retro", "Pulse", "Groove", "Soul", "Live", "One",
    "Max", "Energy", "Smooth", "Coast", "Valley", "Mountain", "Island", "Music", "Voice", "Free"};

constexpr std::string_view kDescriptionWords[] = {
    "the", "best", "music", "news", "around", "clock", "live", "from", "studio", "local", "talk",
    "and", "community", "station", "hits", "classic", "new", "all", "day", "long", "weather", "sport",
    "culture", "programmes", "independent", "public", "service", "broadcasting", "since", "your"};

// clang-format on

class Generator {
public:
    explicit Generator(uint64_t seed) : rng_(seed) {}

    std::string Station(size_t index) {
        std::string line = Name();
        line += '\t';
        line += Chance(6) ? std::string("-") : Description();
        line += '\t';
        line += Chance(20) ? std::string("-") : Style();
        line += '\t';
        line += Chance(1) ? std::string("-") : std::string(Pick(kCountries));
        line += '\t';
        line += Chance(15) ? std::string("-") : Language();
        const unsigned urls = 1 + Below(4);
        for (unsigned u = 0; u < urls; ++u) {
            line += '\t';
            line += Url(index, u);
        }
        return line;
    }

private:
    unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng_); }
    bool Chance(unsigned percent) { return Below(100) < percent; }
    template <size_t N> std::string_view Pick(const std::string_view (&items)[N]) { return items[Below(N)]; }

    std::string Name() {
        std::string name;
        if (Chance(25)) {
            const Script& script = kScripts[Below(std::size(kScripts))];
            const unsigned words = 1 + Below(3);
            for (unsigned w = 0; w < words; ++w) {
                if (w) name += ' ';
                const unsigned letters = 2 + Below(6);
                for (unsigned l = 0; l < letters; ++l)
                    AppendUtf8(name, script.first + Below(script.count));
            }
            if (Chance(40)) name += " FM";
            return name;
        }
        const unsigned words = 1 + Below(3);
        for (unsigned w = 0; w < words; ++w) {
            if (w) name += ' ';
            name += Pick(kNameWords);
        }
        if (Chance(30)) name += " " + std::to_string(80 + Below(28)) + "." + std::to_string(Below(10));
        return name;
    }

    std::string Description() {
        std::string text;
        const unsigned words = 3 + Below(14);
        for (unsigned w = 0; w < words; ++w) {
            if (w) text += ' ';
            text += Pick(kDescriptionWords);
        }
        if (Chance(5)) text += "<newline>Since " + std::to_string(1950 + Below(75));
        return text;
    }

    std::string Style() {
        std::string style(Pick(kModifiers));
        style += Pick(kGenres);
        return style;
    }

    std::string Language() {
        std::string language(Pick(kLanguages));
        if (Chance(10)) {
            language += ", ";
            language += Pick(kLanguages);
        }
        return language;
    }

    std::string Url(size_t index, unsigned u) {
        static constexpr std::string_view kSuffixes[] = {
            "/stream", "/live.mp3", "/;stream.mp3", "/aac", "/listen.pls", "/playlist.m3u8", "/radio.ogg"};
        std::string url = Chance(50) ? "https://" : "http://";
        url += "stream" + std::to_string(Below(9)) + ".station" + std::to_string(index) + ".example";
        if (Chance(40)) url += ":" + std::to_string(8000 + Below(10));
        url += kSuffixes[(Below(std::size(kSuffixes)) + u) % std::size(kSuffixes)];
        return url;
    }

    std::mt19937_64 rng_;
};

} // namespace

ByteList GenerateCatalogue(size_t count, uint64_t seed) {
    Generator generator(seed);
    ByteList lines;
    lines.reserve(count);
    for (size_t i = 0; i < count; ++i)
        lines.push_back(generator.Station(i));
    return lines;
}

ByteList ReadTextFileLines(const std::string& fileName) {
    const std::string text = ReadWholeFile(fileName);
    ByteList lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.emplace_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

} // namespace lumaro
