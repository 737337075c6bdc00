#pragma once
// Splits a command line given as one string into arguments by the Windows C
// runtime's rules (those of Microsoft's C runtime since 2008), so command
// lines written for the Windows encoder add-on keep their meaning:
//   - spaces and tabs outside double quotes separate arguments;
//   - a double quote opens or closes a quoted part, which may hold spaces;
//     `a"b c"d` is one argument, `""` an empty one;
//   - inside a quoted part, `""` gives one literal quote and the part stays
//     open (the post-2008 rule; older runtimes closed it);
//   - 2n backslashes before a double quote give n backslashes and the quote
//     acts as above; 2n+1 give n backslashes and a literal quote;
//   - backslashes not before a double quote are literal.
// The program name follows the same rules as every other argument (Windows
// treats it specially, but on this platform it holds no backslashes).
// An unclosed quote runs to the end of the line.

#include <string>
#include <vector>

namespace lumaro::engine {

std::vector<std::string> SplitCommandLine(const std::string& commandLine);

} // namespace lumaro::engine
