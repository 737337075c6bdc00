#include "recording/recording_files.h"

#include "data/station_record.h"
#include "data/text_codec.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <sys/stat.h>

namespace lumaro {

std::u16string SafeFileName(std::u16string_view text) {
    std::u16string safe = TrimWide(text);
    for (char16_t& c : safe) {
        switch (c) {
        case u'"':
        case u'*':
        case u'/':
        case u':':
        case u'<':
        case u'>':
        case u'?':
        case u'\\':
        case u'|':
            c = u' ';
            break;
        default:
            break;
        }
    }
    return safe;
}

std::u16string StationFolderName(std::u16string_view stationName) {
    std::u16string name = SafeFileName(stationName);
    if (name == u"." || name == u"..") name.clear(); // would leave the recordings folder
    return name;
}

std::vector<std::string> ListMp3Files(const std::string& directory) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 4) continue;
        std::string extension = name.substr(name.size() - 4);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        if (extension != ".mp3") continue;
        struct stat st {};
        if (::stat((directory + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
        names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

long long RecordingNumberOf(const std::string& fileName) {
    const std::string stem = fileName.substr(0, fileName.find('.'));
    long long value = 0;
    bool digits = false;
    for (char c : stem) {
        if (c < '0' || c > '9') continue;
        digits = true;
        value = value * 10 + (c - '0');
        if (value > INT_MAX) return 0;
    }
    return digits ? value : 0;
}

std::string NextRecordingFileName(const std::vector<std::string>& mp3Names) {
    long long n = 0;
    for (const auto& name : mp3Names)
        n = std::max(n, RecordingNumberOf(name));
    return "recording_" + std::to_string(n + 1) + ".mp3";
}

std::string BuildEncoderCommandLine(const std::string& fileName, std::u16string_view title,
                                    std::u16string_view status) {
    return "lame - " + fileName + " --tt \"" + AnsiFromWide(SafeFileName(title)) + "\" --tc \"Radio  " +
           AnsiFromWide(SafeFileName(status)) + "\"";
}

} // namespace lumaro
