#include "shell/default_station_menu.h"

#include "data/personal_lists.h"
#include "data/scrambled_list_file.h"
#include "data/station_record.h"

#include <QMenu>

namespace lumaro {

TDefaultStation::TDefaultStation(std::string indexFile) : indexFile_(std::move(indexFile)) {
    if (!FileExists(indexFile_)) return;
    try {
        TScrambledListFile::LoadWideList(indexFile_, lines_, kListKey);
    } catch (const ListFileError&) {
        keepFile_ = true;
        lines_.clear();
    }
}

void TDefaultStation::Choose(const std::u16string& line) {
    lines_.clear();
    if (!line.empty()) lines_.push_back(line);
    if (keepFile_) return;
    try {
        TScrambledListFile::SaveWideList(indexFile_, lines_, kListKey);
    } catch (const ListFileError&) {
    }
}

QString DefaultStationText(const std::u16string& line) {
    if (line.empty()) return QStringLiteral("(empty)");
    return QString::fromStdU16String(SplitStationLine(line)[0]);
}

void FillStationSubmenu(QMenu& submenu, const TPersonalList& list,
                        const std::function<void(const std::u16string&)>& chosen) {
    submenu.clear();
    for (const std::u16string& line : list.Entries()) {
        QString caption = DefaultStationText(line);
        caption.replace(QLatin1Char('&'), QStringLiteral("&&")); // a name, not a shortcut
        QAction* entry = submenu.addAction(caption);
        QObject::connect(entry, &QAction::triggered, &submenu, [chosen, line] { chosen(line); });
    }
}

} // namespace lumaro
