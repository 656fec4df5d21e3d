# The Windows program folder beside brovane.exe and brovane-cli.exe: the Qt libraries, the
# platform and style plug-ins, the compiler's runtime and the font the dialogs were laid out
# with. Qt's deployment tool lays the Qt part out where it is present (it is looked for when
# installing, in the Qt kit's own folder first); without it (Qt 6.4 keeps it in qttools, which a
# cross-built Qt may lack) these rules copy the same files.

# The Qt kit's programs folder, where Qt's installers put windeployqt.
get_target_property(brovane_qmake Qt6::qmake IMPORTED_LOCATION)
get_filename_component(brovane_qt_bin ${brovane_qmake} DIRECTORY)

# What the program loads from Qt: the modules it links, the Windows platform plug-in and the
# style plug-in, each as "file|folder below the program folder".
set(brovane_qt_files)
foreach(module Core Gui Widgets SerialPort)
    list(APPEND brovane_qt_files "$<TARGET_FILE:Qt6::${module}>|.")
endforeach()
list(APPEND brovane_qt_files "$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>|platforms")
if(TARGET Qt6::QWindowsVistaStylePlugin)
    list(APPEND brovane_qt_files "$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>|styles")
endif()

# The compiler's runtime: MinGW's DLLs, which the Qt DLLs and the programs import, from the
# compiler's own library folders; Microsoft's from CMake's list of them (the DLLs, not the
# vc_redist installer).
set(brovane_deploy_options)
if(MSVC)
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION ${BROVANE_INSTALL_DIR})
    include(InstallRequiredSystemLibraries)
    set(brovane_deploy_options --no-compiler-runtime)
else()
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                        OUTPUT_VARIABLE runtime_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${runtime_dll}" OR NOT EXISTS "${runtime_dll}")
            message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${dll}")
        endif()
        install(FILES ${runtime_dll} DESTINATION ${BROVANE_INSTALL_DIR})
        # Debian's copies keep their debugging information (libstdc++-6.dll: 23 MB, 2 MB
        # without), which a stripped installation leaves out as it does the programs'.
        install(CODE "
            if(CMAKE_INSTALL_DO_STRIP)
                execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${dll}\" COMMAND_ERROR_IS_FATAL ANY)
            endif()")
    endforeach()
endif()

install(CODE "
    find_program(brovane_windeployqt windeployqt HINTS \"${brovane_qt_bin}\")
    set(program \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:brovane>\")
    if(brovane_windeployqt)
        execute_process(
            COMMAND \"\${brovane_windeployqt}\" ${brovane_deploy_options} --no-system-d3d-compiler
                    --no-opengl-sw \"\${program}\"
            COMMAND_ERROR_IS_FATAL ANY)
    else()
        message(STATUS \"No windeployqt: copying the Qt libraries and plug-ins\")
        set(entries \"${brovane_qt_files}\")
        foreach(entry IN LISTS entries)
            string(REPLACE \"|\" \";\" entry \"\${entry}\")
            list(GET entry 0 file)
            list(GET entry 1 folder)
            file(INSTALL \"\${file}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${folder}\")
            if(CMAKE_INSTALL_DO_STRIP)
                get_filename_component(name \"\${file}\" NAME)
                execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${folder}/\${name}\"
                    COMMAND_ERROR_IS_FATAL ANY)
            endif()
        endforeach()
    endif()")

# Qt's own texts (the buttons of message boxes) in the program's other languages, German and
# Italian, as the deployment tool puts them in translations\. Without the tool they come from the
# host's Qt of the same version (Debian's qt6-translations-l10n), where it has them.
set(brovane_qt_translations)
if(QT_HOST_PATH)
    foreach(language de it)
        set(catalogue ${QT_HOST_PATH}/share/qt6/translations/qtbase_${language}.qm)
        if(EXISTS ${catalogue})
            list(APPEND brovane_qt_translations ${catalogue})
        endif()
    endforeach()
endif()
if(brovane_qt_translations)
    install(CODE "
        if(NOT brovane_windeployqt)
            file(INSTALL ${brovane_qt_translations}
                 DESTINATION \"\${CMAKE_INSTALL_PREFIX}/translations\")
        endif()")
endif()

# The dialogs ask for DejaVu Sans and their fixed sizes were laid out with it; Windows has no
# such font, so it comes along and the program loads it from its fonts folder.
# Debian's copy (fonts-dejavu-core) where there is one; elsewhere the folder named in the
# environment variable of the same name.
set(brovane_font_dir /usr/share/fonts/truetype/dejavu)
if(DEFINED ENV{BROVANE_FONT_DIR})
    set(brovane_font_dir $ENV{BROVANE_FONT_DIR})
endif()
set(BROVANE_FONT_DIR ${brovane_font_dir} CACHE PATH "Where DejaVuSans.ttf lies")
if(NOT EXISTS ${BROVANE_FONT_DIR}/DejaVuSans.ttf)
    message(FATAL_ERROR "DejaVuSans.ttf is not in ${BROVANE_FONT_DIR} (BROVANE_FONT_DIR)")
endif()
install(FILES ${BROVANE_FONT_DIR}/DejaVuSans.ttf ${BROVANE_FONT_DIR}/DejaVuSans-Bold.ttf
        DESTINATION ${BROVANE_INSTALL_DIR}/fonts)
