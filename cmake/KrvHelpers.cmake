# krv_portable_library(<target> <folder>): a static library of the folder's portable sources.
# Suffixes: *_win.cpp is the plug-in's Windows user interface and COM code (the krv_win
# object library); *_nt.cpp is the Windows body of a portable seam and *_posix.cpp the body
# for every other system (both part of the portable library of their target).
function(krv_portable_library target folder)
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(FILTER srcs EXCLUDE REGEX "_win\\.cpp$")
    if(WIN32)
        list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
    else()
        list(FILTER srcs EXCLUDE REGEX "_nt\\.cpp$")
    endif()
    if(NOT srcs)
        set(stub ${CMAKE_BINARY_DIR}/stubs/${target}_empty.cpp)
        file(WRITE ${stub} "// ${folder} has no portable sources yet\n")
        set(srcs ${stub})
    endif()
    add_library(${target} STATIC ${srcs})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# krv_windows_sources(<var>): every *_win.cpp of the source folders (KRV_SOURCE_FOLDERS).
function(krv_windows_sources var)
    set(all)
    foreach(folder ${KRV_SOURCE_FOLDERS})
        file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*_win.cpp)
        list(APPEND all ${srcs})
    endforeach()
    set(${var} ${all} PARENT_SCOPE)
endfunction()
