# Installation and packaging. An installed Tambrel keeps its executable, language libraries and
# help pages together in one folder, because it finds its libraries and pages beside its own
# executable: lib/tambrel/ on Linux, where bin/tambrel is a relative link to it, so the program
# works from any prefix; on Windows the install folder itself (cmake/PackageWindows.cmake).

if(WIN32)
    set(TAMBREL_INSTALL_FOLDER .)
else()
    set(TAMBREL_INSTALL_FOLDER lib/tambrel)
endif()
set(TAMBREL_HELP_SOURCE ${PROJECT_SOURCE_DIR}/resources/help)
set(TAMBREL_HELP_PAGES Tambrel.htm Tambrel_DEU.htm Tambrel_JPN.htm)
# The English page is the fallback page under the language's name: one source, two files.
set(TAMBREL_HELP_SOURCE_Tambrel_ENU.htm Tambrel.htm)

# The help pages are copied beside the built executable too, so a program run from the build
# tree shows them exactly as the installed one does.
set(help_outputs)
foreach(page IN LISTS TAMBREL_HELP_PAGES ITEMS Tambrel_ENU.htm)
    set(source ${page})
    if(DEFINED TAMBREL_HELP_SOURCE_${page})
        set(source ${TAMBREL_HELP_SOURCE_${page}})
    endif()
    set(output ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${page})
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TAMBREL_HELP_SOURCE}/${source} ${output}
        DEPENDS ${TAMBREL_HELP_SOURCE}/${source}
        COMMENT "Copying help page ${page}"
        VERBATIM)
    list(APPEND help_outputs ${output})
endforeach()
add_custom_target(help_pages ALL DEPENDS ${help_outputs})

install(TARGETS tambrel RUNTIME DESTINATION ${TAMBREL_INSTALL_FOLDER})
if(TARGET tambrel-cli)
    install(TARGETS tambrel-cli RUNTIME DESTINATION ${TAMBREL_INSTALL_FOLDER})
endif()
install(FILES
        ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Tambrel_ENU.dll
        ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Tambrel_DEU.dll
        ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Tambrel_JPN.dll
    DESTINATION ${TAMBREL_INSTALL_FOLDER})
install(FILES ${help_outputs} DESTINATION ${TAMBREL_INSTALL_FOLDER})

# Qt's own texts (the buttons of message boxes, the file dialog) for each shipped language, in a
# translations folder beside the program, where it looks first; copied beside the built program
# too, so the build tree behaves as installed.
set(TAMBREL_QT_LANGUAGES de ja)
find_path(TAMBREL_QT_TRANSLATIONS qtbase_de.qm
    HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}" /usr/share/qt6/translations
    # A static Qt for Windows ships no translations: the host's files serve both, as they are.
    NO_CMAKE_FIND_ROOT_PATH
    REQUIRED)
set(qt_translation_outputs)
foreach(language IN LISTS TAMBREL_QT_LANGUAGES)
    set(output ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/translations/qtbase_${language}.qm)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/translations
        COMMAND ${CMAKE_COMMAND} -E copy_if_different
                ${TAMBREL_QT_TRANSLATIONS}/qtbase_${language}.qm ${output}
        DEPENDS ${TAMBREL_QT_TRANSLATIONS}/qtbase_${language}.qm
        COMMENT "Copying Qt's translation qtbase_${language}.qm"
        VERBATIM)
    list(APPEND qt_translation_outputs ${output})
endforeach()
add_custom_target(qt_translations ALL DEPENDS ${qt_translation_outputs})
install(FILES ${qt_translation_outputs} DESTINATION ${TAMBREL_INSTALL_FOLDER}/translations)

if(WIN32)
    # Windows has no man: the manual pages ship as plain text beside the programs.
    find_program(TAMBREL_GROFF groff REQUIRED)
    set(manual_outputs)
    foreach(program IN ITEMS tambrel tambrel-cli)
        set(output ${CMAKE_BINARY_DIR}/manual/${program}.txt)
        add_custom_command(
            OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -DGROFF=${TAMBREL_GROFF}
                    -DPAGE=${PROJECT_SOURCE_DIR}/man/${program}.1 -DOUTPUT=${output}
                    -P ${CMAKE_CURRENT_LIST_DIR}/ManText.cmake
            DEPENDS ${PROJECT_SOURCE_DIR}/man/${program}.1 ${CMAKE_CURRENT_LIST_DIR}/ManText.cmake
            COMMENT "Writing the manual page of ${program} as text"
            VERBATIM)
        list(APPEND manual_outputs ${output})
    endforeach()
    add_custom_target(manual_texts ALL DEPENDS ${manual_outputs})
    install(FILES ${manual_outputs} DESTINATION ${TAMBREL_INSTALL_FOLDER})
    include(${CMAKE_CURRENT_LIST_DIR}/PackageWindows.cmake)
    return()
endif()

# The link is made once in the build tree and installed as a link (install keeps symbolic
# links as they are), which works the same under DESTDIR and inside CPack's staging area.
set(link_folder ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${link_folder})
foreach(program IN ITEMS tambrel tambrel-cli)
    file(CREATE_LINK ../${TAMBREL_INSTALL_FOLDER}/${program} ${link_folder}/${program} SYMBOLIC)
    install(FILES ${link_folder}/${program} DESTINATION bin)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/man/tambrel.1 ${PROJECT_SOURCE_DIR}/man/tambrel-cli.1
    DESTINATION share/man/man1)

install(FILES ${PROJECT_SOURCE_DIR}/resources/tambrel.desktop DESTINATION share/applications)
# The icon theme gets the window icon itself, drawn at each size by a small build-time program.
set(TAMBREL_ICON_SIZES 32 48 64 128)
set(icon_folder ${CMAKE_BINARY_DIR}/icons)
set(icon_outputs)
foreach(size IN LISTS TAMBREL_ICON_SIZES)
    list(APPEND icon_outputs ${icon_folder}/tambrel_${size}.png)
endforeach()
add_custom_command(
    OUTPUT ${icon_outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_folder}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            ${TAMBREL_ICON_WRITER} ${icon_folder} ${TAMBREL_ICON_SIZES}
    DEPENDS ${TAMBREL_ICON_WRITER_DEPENDS}
    COMMENT "Drawing the desktop icons"
    VERBATIM)
add_custom_target(desktop_icons ALL DEPENDS ${icon_outputs})
foreach(size IN LISTS TAMBREL_ICON_SIZES)
    install(FILES ${icon_folder}/tambrel_${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME tambrel.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tambrel)
set(CPACK_PACKAGE_VENDOR "The Tambrel Developers")
set(CPACK_PACKAGE_CONTACT "The Tambrel Developers <tambrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Lists the codec, sample rate, date and size of a voice server's audio files")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese texts need a font that covers the script.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tambrel reads the greetings, voice names and prompts of a Corvel voice-messaging server\n\
(through a Wine prefix on Linux) and lists each WAV file's codec, sample rate, date and size.\n\
Either list can be exported to a CSV file. English, German and Japanese.")
# Installed binaries are stripped; the package carries no debug information.
set(CPACK_STRIP_FILES ON)
include(CPack)
