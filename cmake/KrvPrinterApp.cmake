# The printer application krv857-printer (Linux only) over PAPPL, found through pkg-config.
# printerapp/ holds two kinds of files: *_pappl.cpp call PAPPL and make up the program; every
# other file is portable (option rules, page rows, the PDF renderer process) and forms
# krv_printerapp, which the unit tests link without PAPPL.

file(GLOB KRV_APP_ALL CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/printerapp/*.cpp)
set(KRV_APP_PAPPL ${KRV_APP_ALL})
list(FILTER KRV_APP_PAPPL INCLUDE REGEX "_pappl\\.cpp$")
set(KRV_APP_RULES ${KRV_APP_ALL})
list(FILTER KRV_APP_RULES EXCLUDE REGEX "_pappl\\.cpp$")

# PAPPL's own texts in Chinese (PAPPL 1.3.1 has none), compiled in as one string.
set(KRV_PAPPL_ZH ${CMAKE_SOURCE_DIR}/printerapp/strings/pappl-zh-CN.strings)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KRV_PAPPL_ZH})
file(READ ${KRV_PAPPL_ZH} KRV_PAPPL_ZH_TEXT)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/pappl_zh_strings.cpp @ONLY CONTENT [=[
// Generated from printerapp/strings/pappl-zh-CN.strings.
#include "printerapp/web_strings.h"
const char krv::app::kPapplChineseStrings[] = R"krvstrings(@KRV_PAPPL_ZH_TEXT@)krvstrings";
]=])

# libcups (PAPPL's own dependency) reads the raster documents.
add_library(krv_printerapp STATIC ${KRV_APP_RULES}
            ${CMAKE_BINARY_DIR}/generated/pappl_zh_strings.cpp)
target_include_directories(krv_printerapp PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(krv_printerapp PUBLIC krv_core krv_pictures)

if(KRV_PRINTER_APP)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(PAPPL REQUIRED IMPORTED_TARGET pappl)
    # The library's own English strings, which the unit tests check the Chinese against.
    list(FILTER PAPPL_LINK_LIBRARIES INCLUDE REGEX "libpappl")
    list(GET PAPPL_LINK_LIBRARIES 0 KRV_PAPPL_LIBRARY)
    add_executable(krv857-printer ${KRV_APP_PAPPL})
    target_link_libraries(krv857-printer PRIVATE krv_printerapp PkgConfig::PAPPL)
endif()

if(KRV_PRINTER_APP AND KRV_TESTS)
    # The job tests: the server, ipptool, the krv857 tool and a raster writer (libcups comes
    # with PAPPL). Sanitizer builds leave them to the valgrind pass of scripts/sanitize.sh.
    add_executable(krv_pwg_writer ${CMAKE_SOURCE_DIR}/tests/printerapp/pwg_writer.cpp)
    target_link_libraries(krv_pwg_writer PRIVATE PkgConfig::PAPPL)
    if(NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
        add_test(NAME printerapp_ipp_jobs
                 COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/printerapp/ipp_jobs_test.py
                         ${CMAKE_BINARY_DIR})
        set_tests_properties(printerapp_ipp_jobs PROPERTIES TIMEOUT 300)
        # The maintenance pages in Debian's Chromium (playwright-core from the npm registry).
        add_test(NAME printerapp_browser
                 COMMAND bash ${CMAKE_SOURCE_DIR}/tests/browser/run.sh ${CMAKE_BINARY_DIR})
        set_tests_properties(printerapp_browser PROPERTIES TIMEOUT 300)
    endif()
endif()
