#pragma once
// The default station: the one line (or none) of index.dat, chosen from the
// Settings dialog's menu, "Use current", "Favorites" ▸, "Recent" ▸ and
// "(empty)".

#include "data/text_codec.h"

#include <QString>

#include <functional>
#include <string>

class QMenu;

namespace lumaro {

class TPersonalList;

class TDefaultStation {
public:
    // Looks at indexFile (index.dat) once: a file that exists but cannot be
    // read is never written over during the run, so whatever it holds is
    // still there to mend.
    explicit TDefaultStation(std::string indexFile = "index.dat");

    bool KeepsUnreadableFile() const { return keepFile_; }
    // The default-station list: one line, or none for "(empty)".
    const WideList& Lines() const { return lines_; }
    // Makes line (empty: none) the default station and writes index.dat at
    // once, atomically. A failed write is not reported.
    void Choose(const std::u16string& line);

private:
    const std::string indexFile_;
    WideList lines_;
    bool keepFile_ = false;
};

// What the default-station field shows for a line: the station's name,
// field 0 of the line, untrimmed; "(empty)" for no line.
QString DefaultStationText(const std::u16string& line);

// Fills the "Favorites" and "Recent" submenus anew: one entry per line, in
// list order, captioned with the station's name. Choosing an entry hands
// its line to chosen; the line is taken as the menu is filled, so a list
// that changes while the menu is open cannot swap the station.
void FillStationSubmenu(QMenu& submenu, const TPersonalList& list,
                        const std::function<void(const std::u16string&)>& chosen);

} // namespace lumaro
