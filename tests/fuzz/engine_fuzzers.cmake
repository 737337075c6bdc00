# The engine's dependency-free stream parsers (included by CMakeLists.txt here).
lumaro_add_fuzzer(fuzz_icy_demuxer SOURCES icy_demuxer_fuzz.cpp LIBS lumaro_engine_parsers)
lumaro_add_fuzzer(fuzz_playlist SOURCES playlist_fuzz.cpp LIBS lumaro_engine_parsers)
