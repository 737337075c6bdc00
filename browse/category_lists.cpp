#include "browse/category_lists.h"

#include "browse/byte_search.h"
#include "browse/result_filter.h"

#include <QString>

#include <unordered_set>

namespace lumaro {

ByteList& TCategoryLists::Of(TCategoryKind kind) {
    return kind == TCategoryKind::Style ? Style : kind == TCategoryKind::Country ? Country : Language;
}
const ByteList& TCategoryLists::Of(TCategoryKind kind) const {
    return const_cast<TCategoryLists*>(this)->Of(kind);
}

QCollator UserCollator(const QLocale& locale) {
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                         : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

namespace {

// A sorted list kept sorted by bisection on collation keys.
class SortedDistinct {
public:
    explicit SortedDistinct(const QCollator& collator) : collator_(collator) {}

    void Add(std::string_view value) {
        // Most values repeat byte for byte: only the first of each spelling
        // pays for a collation key.
        if (value.empty() || !seen_.insert(value).second) return;
        const QCollatorSortKey key = collator_.sortKey(QString::fromUtf8(value.data(), qsizetype(value.size())));
        size_t lo = 0, hi = entries_.size();
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            const int c = entries_[mid].key.compare(key);
            if (c == 0) return;
            if (c < 0) lo = mid + 1;
            else hi = mid;
        }
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(lo), Entry{key, std::string(value)});
    }

    ByteList Take() {
        ByteList out;
        out.reserve(entries_.size() + 1);
        out.emplace_back(kAllCategories);
        for (auto& e : entries_) out.push_back(std::move(e.value));
        return out;
    }

private:
    struct Entry {
        QCollatorSortKey key;
        std::string value;
    };
    const QCollator& collator_;
    std::unordered_set<std::string_view> seen_;
    std::vector<Entry> entries_;
};

} // namespace

TCategoryLists BuildCategoryLists(const TStationCatalogue& catalogue, const QCollator& collator) {
    SortedDistinct style(collator), country(collator), language(collator);
    for (const std::string& line : catalogue.AnsiCopy()) {
        const TCategoryFields f = CategoryFieldsOf(line);
        style.Add(f.style);
        country.Add(f.country);
        language.Add(f.language);
    }
    return {style.Take(), country.Take(), language.Take()};
}

ByteList NarrowCategoryList(const ByteList& source, std::u16string_view boxText) {
    if (boxText.empty()) return source;
    std::string needle = AnsiFromWide(boxText);
    UpperAsciiInPlace(needle.data(), needle.size());
    ByteList kept;
    std::string upper;
    for (const auto& entry : source) {
        upper = entry;
        UpperAsciiInPlace(upper.data(), upper.size());
        if (ContainsBytes(upper, needle)) kept.push_back(entry);
    }
    if (kept.empty()) kept.emplace_back();
    return kept;
}

} // namespace lumaro
