// The settings reader on arbitrary bytes: whatever it reads, writing that out
// gives fifteen CR LF lines that read back to the same text.
#include "shell/settings_file.h"

#include <algorithm>
#include <cstdlib>

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TSettings defaults;
    defaults.RecordingsFolder = "/p/LumaroRadioRecordings";
    const TSettings read =
        SettingsFromText(std::string_view(reinterpret_cast<const char*>(data), size), defaults);
    const std::string text = SettingsFileText(read);
    if (std::count(text.begin(), text.end(), '\n') != kSettingsLineCount) std::abort();
    if (SettingsFileText(SettingsFromText(text, defaults)) != text) std::abort();
    return 0;
}
