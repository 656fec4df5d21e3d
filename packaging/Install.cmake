# Where everything installs, and the packages CPack makes of it.
#
# Linux: the programs, their language files and the virtual card's demo card in one folder,
# /opt/brovane (the programs find the language files beside their own real path), with links in
# /usr/bin, a menu entry, the icon in the usual sizes, manual pages and the copyright text.
# The package is the Debian package brovane_<version>_amd64.deb.
#
# Windows: brovane.exe and brovane-cli.exe with their language files, the Qt libraries, the
# compiler's runtime and the font, in one folder (packaging/WindowsProgramFolder.cmake); CPack
# makes a ZIP of it, and an installer where NSIS is present.

set(CPACK_PACKAGE_NAME brovane)
set(CPACK_PACKAGE_VENDOR "The Brovane developers")
set(CPACK_PACKAGE_CONTACT "Brovane maintainers <brovane@example.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Brovane)
set(CPACK_STRIP_FILES ON)

# brovane_install_program(TARGET): the program into the program folder; on Linux also a link in
# /usr/bin that leads to it. The link is made at install time, from the install root then in
# force (cmake --install --prefix, or / for the package), and lands below DESTDIR.
function(brovane_install_program target)
    install(TARGETS ${target} RUNTIME DESTINATION ${BROVANE_INSTALL_DIR})
    if(WIN32)
        return()
    endif()
    # The compiler's version notes are of no use in an installed program (Debian drops them as
    # its packages strip their programs).
    install(CODE "
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${BROVANE_INSTALL_DIR}/$<TARGET_FILE_NAME:${target}>\"
            COMMAND_ERROR_IS_FATAL ANY)")
    # Links into another top-level folder are absolute, as Debian wants them.
    install(CODE "
        set(program \"\${CMAKE_INSTALL_PREFIX}/${BROVANE_INSTALL_DIR}/$<TARGET_FILE_NAME:${target}>\")
        cmake_path(NORMAL_PATH program)
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/usr/bin/${target}\")
        cmake_path(NORMAL_PATH link)
        message(STATUS \"Linking: \${link} -> \${program}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/usr/bin\")
        file(CREATE_LINK \"\${program}\" \"\${link}\" SYMBOLIC)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")")
endfunction()

brovane_install_program(brovane)
install(FILES ${BROVANE_LANG_FILES} DESTINATION ${BROVANE_INSTALL_DIR})

if(WIN32)
    set_target_properties(brovane PROPERTIES WIN32_EXECUTABLE ON)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsProgramFolder.cmake)

    find_program(MAKENSIS makensis PATHS "C:/Program Files (x86)/NSIS" "C:/Program Files/NSIS")
    set(CPACK_GENERATOR ZIP)
    if(MAKENSIS)
        list(APPEND CPACK_GENERATOR NSIS)
    endif()
    set(CPACK_NSIS_DISPLAY_NAME Brovane)
    # A 64-bit installer, as the program is: it starts where only 64-bit programs run (Wine's
    # wine64) and installs below Program Files, not Program Files (x86).
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
    set(CPACK_NSIS_PACKAGE_NAME Brovane)
    set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/assets/icons/brovane.ico)
    set(CPACK_NSIS_INSTALLED_ICON_NAME brovane.exe)
    set(CPACK_PACKAGE_EXECUTABLES brovane Brovane)
    # The programs lie at the top of the installation folder, not in CPack's default bin\:
    # the Start-menu entry leads to $INSTDIR\brovane.exe.
    set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/packaging/copyright)
else()
    brovane_install_program(quorix-sim)
    install(FILES ${PROJECT_SOURCE_DIR}/sim/cards/kft018-demo.reg
            DESTINATION ${BROVANE_INSTALL_DIR}/cards)

    install(FILES ${PROJECT_SOURCE_DIR}/packaging/brovane.desktop
            DESTINATION usr/share/applications)
    # The software centre's entry, named after its component id.
    set(BROVANE_APPSTREAM_ID com.example.brovane)
    set(brovane_metainfo ${CMAKE_BINARY_DIR}/packaging/${BROVANE_APPSTREAM_ID}.metainfo.xml)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/brovane.metainfo.xml.in ${brovane_metainfo}
                   @ONLY)
    install(FILES ${brovane_metainfo} DESTINATION usr/share/metainfo)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/brovane-${size}.png
                DESTINATION usr/share/icons/hicolor/${size}x${size}/apps RENAME brovane.png)
    endforeach()

    # Debian keeps documentation compressed, without time stamps in the archive.
    find_program(GZIP gzip REQUIRED)
    set(brovane_changelog_dir ${CMAKE_BINARY_DIR}/packaging)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
    configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in
                   ${brovane_changelog_dir}/changelog @ONLY)
    set(brovane_pages brovane.1 quorix-sim.1)
    if(TARGET brovane-cli)
        list(APPEND brovane_pages brovane-cli.1)
    endif()
    set(brovane_compressed)
    set(brovane_compressed_pages)
    foreach(page ${brovane_pages})
        list(APPEND brovane_compressed_pages ${brovane_changelog_dir}/${page}.gz)
    endforeach()
    list(TRANSFORM brovane_pages PREPEND ${PROJECT_SOURCE_DIR}/packaging/)
    foreach(source ${brovane_changelog_dir}/changelog ${brovane_pages})
        get_filename_component(name ${source} NAME)
        set(output ${brovane_changelog_dir}/${name}.gz)
        add_custom_command(OUTPUT ${output}
            COMMAND ${GZIP} -9 -n -c ${source} > ${output}
            DEPENDS ${source} VERBATIM)
        list(APPEND brovane_compressed ${output})
    endforeach()
    add_custom_target(brovane_package_docs ALL DEPENDS ${brovane_compressed})
    install(FILES ${brovane_changelog_dir}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
            DESTINATION usr/share/doc/brovane)
    install(FILES ${brovane_compressed_pages} DESTINATION usr/share/man/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
            DESTINATION usr/share/lintian/overrides RENAME brovane)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /)
    # Installed below DESTDIR with the root / in force, so that the links lead to /opt/brovane.
    set(CPACK_SET_DESTDIR ON)
    # The package always installs below /, whatever install root this build folder was given.
    set(CPACK_INSTALL_PREFIX /)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Beside the libraries dpkg-shlibdeps finds: the font the program asks for by name.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
    # /opt is the system's: made again when removing the package took it away.
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postrm)
    set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The program translates Qt's own buttons with the translations Debian ships.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
    # CPack puts the summary above these lines.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Brovane reads the configuration registers of the Quorix communication card
over a serial line, shows them on a tabbed sheet (the card's four serial
ports, eight inputs and eight outputs) and programs the card back.
.
The package also holds quorix-sim, a virtual card on a pseudo-terminal.")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
