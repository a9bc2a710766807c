# The Windows packages: a ZIP of the program folder, and a setup program made with NSIS that
# installs it into Program Files\Tambrel with a Start-menu shortcut and an entry in Add/Remove
# Programs. The uninstaller removes the files it installed, one by one, and the folder only when
# nothing else is left in it. Neither writes anywhere near the server's keys or folders.
# Included from cmake/Install.cmake after the program folder's install rules.

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME tambrel)
set(CPACK_PACKAGE_VENDOR "The Tambrel Developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Lists the codec, sample rate, date and size of a voice server's audio files")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tambrel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tambrel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Tambrel)
set(CPACK_STRIP_FILES ON)

# makensis's default stub is 32-bit, which a 64-bit-only Windows (or Wine) cannot start.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Tambrel)
set(CPACK_NSIS_DISPLAY_NAME Tambrel)
# One Start-menu shortcut to the program in the install folder; the folder is not put on PATH.
set(CPACK_PACKAGE_EXECUTABLES Tambrel Tambrel)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_INSTALLED_ICON_NAME Tambrel.exe)
set(CPACK_NSIS_MUI_ICON ${CMAKE_BINARY_DIR}/app/Tambrel.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_BINARY_DIR}/app/Tambrel.ico)
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
include(CPack)
