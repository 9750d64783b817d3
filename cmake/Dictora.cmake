# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers that keep each folder's CMakeLists.txt to a line or two.

# Adds every folder below ROOT (one or two levels deep) that holds a
# CMakeLists.txt. With DICTORA_CORE_ONLY only folders named "core" or "cli" count.
function(dictora_add_subdirectories root)
    file(GLOB lists LIST_DIRECTORIES false CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/${root}/*/CMakeLists.txt
        ${CMAKE_SOURCE_DIR}/${root}/*/*/CMakeLists.txt)
    foreach(list IN LISTS lists)
        get_filename_component(dir ${list} DIRECTORY)
        file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/${root} ${dir})
        if(DICTORA_CORE_ONLY AND NOT rel MATCHES "^(core|cli)(/|$)")
            continue()
        endif()
        add_subdirectory(${dir} ${CMAKE_BINARY_DIR}/${root}/${rel})
    endforeach()
endfunction()

# dictora_add_library(NAME DEPS dep...): a static library of every .cpp/.h in
# the current folder. Includes are written from src/, e.g. "core/study/unit_file.h".
function(dictora_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# dictora_add_test(NAME DEPS dep... [LABELS label...] [WIDGETS] [NO_GTEST_MAIN]):
# one GoogleTest program of every .cpp in the current folder. WIDGETS runs it
# under the widget tests' main (tests/support/ui), which makes one
# QApplication for the whole run, and links the shared study screen;
# NO_GTEST_MAIN leaves out gtest_main for folders that bring their own main.
# Tests run without a display or sound card: Qt draws offscreen and GStreamer
# plays into the sink/source given by DICTORA_AUDIO_SINK and
# DICTORA_AUDIO_SOURCE.
function(dictora_add_test name)
    cmake_parse_arguments(ARG "WIDGETS;NO_GTEST_MAIN" "" "DEPS;LABELS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_executable(${name} ${sources})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
    if(ARG_WIDGETS)
        target_link_libraries(${name} PRIVATE dictora_test_ui_main)
    elseif(NOT ARG_NO_GTEST_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_compile_definitions(${name} PRIVATE DICTORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    # The environment goes in through env(1) as the test launcher: CMake 3.25's
    # gtest_discover_tests passes PROPERTIES on as a flat list, so an
    # ENVIRONMENT of several variables kept only the first of them.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
        "/usr/bin/env;QT_QPA_PLATFORM=offscreen;DICTORA_AUDIO_SINK=fakesink sync=true;DICTORA_AUDIO_SOURCE=audiotestsrc is-live=true wave=sine")
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES
            LABELS "${ARG_LABELS}"
            TIMEOUT 120)
endfunction()
