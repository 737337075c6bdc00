#include "engine/encoder/command_line.h"

namespace lumaro::engine {

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    const size_t n = line.size();
    size_t i = 0;
    for (;;) {
        while (i < n && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == n) break;
        std::string arg;
        bool quoted = false;
        while (i < n) {
            const char c = line[i];
            if (!quoted && (c == ' ' || c == '\t')) break;
            if (c == '\\') {
                size_t slashes = 0;
                while (i < n && line[i] == '\\')
                    ++slashes, ++i;
                if (i < n && line[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        ++i;
                    } // an even run leaves the quote to act as a quote
                } else {
                    arg.append(slashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
                continue;
            }
            arg += c;
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

} // namespace lumaro::engine
