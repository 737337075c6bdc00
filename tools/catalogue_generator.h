#pragma once
// Synthetic station catalogues with a realistic spread of styles, countries,
// languages, scripts and URL counts, for tests and benchmarks.

#include "data/text_codec.h"

#include <cstdint>

namespace lumaro {

// count UTF-8 station lines, the same for the same seed.
ByteList GenerateCatalogue(size_t count, uint64_t seed);

// The lines of a text file split at LF, a CR before the LF dropped; a final
// LF ends the last line. Raises ListFileError when the file cannot be read.
ByteList ReadTextFileLines(const std::string& fileName);

} // namespace lumaro
