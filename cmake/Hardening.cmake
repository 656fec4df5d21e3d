# The hardening Debian builds its packages with (fortify, stack protector, relro, bind-now), as
# dpkg-buildflags gives it for this machine. Not for the sanitizer build: fortify's checked
# functions and AddressSanitizer's interceptors do not mix.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS OR BROVANE_SANITIZE OR CMAKE_CROSSCOMPILING)
    return()
endif()

function(brovane_dpkg_buildflags variable out)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS} --get ${variable}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

brovane_dpkg_buildflags(CPPFLAGS brovane_cppflags)
brovane_dpkg_buildflags(CXXFLAGS brovane_cxxflags)
brovane_dpkg_buildflags(LDFLAGS brovane_ldflags)
# The build type keeps its own optimisation and debugging information.
list(FILTER brovane_cxxflags EXCLUDE REGEX "^-(O[0-9s]?|g)$")
add_compile_options(${brovane_cppflags} ${brovane_cxxflags})
add_link_options(${brovane_ldflags})
