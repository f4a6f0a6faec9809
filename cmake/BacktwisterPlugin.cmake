# The project's CMake functions, for its own plug-ins and for a plug-in project that adds
# Backtwister's sources with add_subdirectory. Cache variables, so that a parent project's
# directories see them too.

set(BACKTWISTER_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." CACHE INTERNAL "")
# Single-precision arithmetic must round as written: SSE, no x87, no fused multiply-add. The
# DLLs import nothing but Windows system libraries: the C and C++ runtimes are linked in.
set(compile_options -ffp-contract=off)
set(link_options)
if(WIN32)
    list(APPEND compile_options -msse2 -mfpmath=sse)
    set(link_options -static -static-libgcc -static-libstdc++)
endif()
set(BACKTWISTER_COMPILE_OPTIONS ${compile_options} CACHE INTERNAL "")
set(BACKTWISTER_LINK_OPTIONS ${link_options} CACHE INTERNAL "")
set(BACKTWISTER_WARNINGS -Wall -Wextra -Werror CACHE INTERNAL "")
unset(compile_options)
unset(link_options)

# backtwister_add_plugin(<NAME> SOURCES <files...> DEF <file.def> RESOURCES <file.rc...>
#                        [ARTWORK <bitmaps...>])
# Adds the VST 2.x plug-in <NAME>.dll to the build's bin folder: its sources with the host
# layer's DLL entry, the .def that exports `main`, its resource scripts (compiled again when
# a bitmap of ARTWORK changes), the static runtimes and the project's warnings, linked with
# the editor base, the toolkit and the host layer. Tests of it register with
# backtwister_add_test, which runs them under Wine in the build's prefix.
function(backtwister_add_plugin name)
    cmake_parse_arguments(PLUGIN "" "DEF" "SOURCES;RESOURCES;ARTWORK" ${ARGN})
    if(NOT PLUGIN_SOURCES OR NOT PLUGIN_DEF)
        message(FATAL_ERROR "backtwister_add_plugin(${name}): SOURCES and DEF are required")
    endif()
    add_library(${name} SHARED ${PLUGIN_SOURCES} ${PLUGIN_DEF} ${PLUGIN_RESOURCES}
        ${BACKTWISTER_SOURCE_DIR}/host/DllMain.cpp)
    if(PLUGIN_ARTWORK)
        set_source_files_properties(${PLUGIN_RESOURCES} PROPERTIES OBJECT_DEPENDS "${PLUGIN_ARTWORK}")
    endif()
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    target_compile_options(${name} PRIVATE ${BACKTWISTER_COMPILE_OPTIONS} ${BACKTWISTER_WARNINGS})
    target_link_options(${name} PRIVATE ${BACKTWISTER_LINK_OPTIONS})
    target_link_libraries(${name} PRIVATE backtwister_editor)
endfunction()

# backtwister_add_test(<name> <command...>): a test; in the cross build CTest runs it under
# Wine in the build's own prefix.
function(backtwister_add_test name)
    add_test(NAME ${name} COMMAND ${ARGN})
    if(WIN32)
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "WINEDEBUG=-all;WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
    endif()
endfunction()
