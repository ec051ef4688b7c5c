# Warnings, sanitizers and compiler cache for every target of the project.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
    set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

add_compile_options(-Wall -Wextra)

# KORVEX_SANITIZE: empty, "address" (ASan + UBSan) or "thread" (TSan).
# Sanitizer builds use -O1: instrumented -O2 builds take several times longer
# on two cores and find nothing more. Any UBSan finding aborts the test.
set(KORVEX_SANITIZE "" CACHE STRING "Sanitizer build: address or thread")
if(KORVEX_SANITIZE STREQUAL "address")
    add_compile_options(-O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(KORVEX_SANITIZE STREQUAL "thread")
    add_compile_options(-O1 -fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT KORVEX_SANITIZE STREQUAL "")
    message(FATAL_ERROR "KORVEX_SANITIZE must be empty, address or thread, not \"${KORVEX_SANITIZE}\"")
endif()

# The C++ that qmlcachegen generates from the QML documents (several MB) is
# Qt's code, not ours: in a sanitizer build it is compiled plainly, like the Qt
# libraries it calls, so the build stays affordable.
function(korvex_plain_generated_qml target)
    if(KORVEX_SANITIZE STREQUAL "")
        return()
    endif()
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "/\\.rcc/qmlcache/")
    if(sources)
        set_source_files_properties(${sources} PROPERTIES COMPILE_OPTIONS "-fno-sanitize=all;-g0")
    endif()
endfunction()

# A subsystem library from every .cpp below its folder (platform backends in
# subfolders included). A folder without sources yet gives an interface target.
function(korvex_subsystem_library name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    # The entry point of a program (app/main/) is not part of the library.
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/main/")
    set(has_cpp FALSE)
    foreach(f IN LISTS sources)
        if(f MATCHES "\\.cpp$")
            set(has_cpp TRUE)
        endif()
    endforeach()
    if(has_cpp)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_LIBS})
    endif()
endfunction()
