# Shared helpers of the build.

# Every program lands in one folder, so the language files copied there lie beside each of them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# brovane_test(NAME SOURCES file... LIBS lib... [TIMEOUT seconds])
# A GoogleTest program run by CTest. Widget tests run headless.
function(brovane_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    # Tests find the language files beside themselves, as the program does.
    add_dependencies(${name} brovane_lang_files)
    add_test(NAME ${name} COMMAND ${name})
    set(environment "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        # One Wine prefix per build folder, made before the tests run.
        list(APPEND environment "BROVANE_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${environment}")
endfunction()
