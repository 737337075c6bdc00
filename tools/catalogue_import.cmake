# The Radio Browser import, a library of its own so that the fuzz tree can
# build it too (included by tools/ and tests/fuzz/).
if(NOT TARGET lumaro_catalogue_import)
  find_package(PkgConfig REQUIRED)
  find_package(ZLIB REQUIRED)
  pkg_check_modules(SIMDJSON REQUIRED IMPORTED_TARGET simdjson)
  add_library(lumaro_catalogue_import STATIC
    ${CMAKE_SOURCE_DIR}/tools/catalogue_import.cpp
    ${CMAKE_SOURCE_DIR}/tools/catalogue_tables.cpp)
  target_link_libraries(lumaro_catalogue_import PUBLIC lumaro_data PRIVATE PkgConfig::SIMDJSON ZLIB::ZLIB)
endif()
