# Shared helpers of the build.

# Every program lands in one folder, so the language files copied there lie beside each of them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The program folder of an installation: the programs and their language files lie there
# together (packaging/Install.cmake). On Linux it is /opt/brovane, so the install root is /.
if(WIN32)
    set(BROVANE_INSTALL_DIR .)
else()
    if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
        set(CMAKE_INSTALL_PREFIX / CACHE PATH "Install root: /opt/brovane and /usr below it" FORCE)
    endif()
    set(BROVANE_INSTALL_DIR opt/brovane)
endif()

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
