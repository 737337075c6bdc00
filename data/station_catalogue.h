#pragma once
// The station catalogue, loaded once at start-up and never changed after:
// the lines of stations.dat with two parallel copies for filtering and search.

#include "data/station_record.h"

#include <string>

namespace lumaro {

class TStationCatalogue {
public:
    // Reads stations.dat. A missing or unreadable file gives an empty
    // catalogue and returns false; the file is never written.
    bool LoadCatalogue(const std::string& fileName);
    // Takes lines directly (tests, tools).
    void SetLines(WideList lines);

    // The 8-bit (UTF-8) copy used by the category lists and the filter.
    void BuildAnsiCopy();

    // Loads the search copy from fileName, or builds it and writes it when the
    // file is absent, unreadable, of another length, or was made from other
    // catalogue content than the stamp file beside it (StampFileOf) says.
    // Nothing is written while the catalogue itself could not be read.
    void PrepareSearchCopy(const std::string& fileName);
    void BuildSearchCopy();

    size_t Count() const { return lines_.size(); }
    const std::u16string& Line(size_t i) const { return lines_[i]; }
    const std::string& AnsiLine(size_t i) const { return ansi_[i]; }
    const std::string& SearchLine(size_t i) const { return search_[i]; }
    const WideList& Lines() const { return lines_; }
    const ByteList& AnsiCopy() const { return ansi_; }
    const ByteList& SearchCopy() const { return search_; }

    // What the catalogue's content is known by: its size in bytes and a
    // 64-bit hash of the bytes of stations.dat, as one line of text.
    const std::string& ContentStamp();
    // The stamp file kept beside a search copy file ("utf8stations.stamp").
    static std::string StampFileOf(const std::string& searchCopyFile);

private:
    WideList lines_;    // UTF-16, file order
    ByteList ansi_;     // entry i = lines_[i] in the 8-bit code page
    ByteList search_;   // entry i = SearchForm(lines_[i])
    std::string stamp_; // of the bytes the lines came from; empty until known
    bool loaded_ = true;
};

} // namespace lumaro
