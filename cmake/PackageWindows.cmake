# The Windows packages: a ZIP of the program folder (target `package`), and the Windows
# Installer package (target `msi`, cmake/PackageMsi.cmake), which installs it into
# Program Files\Tambrel with a Start-menu shortcut, the folder on the system PATH and an entry in
# Add/Remove Programs, upgrades an older version in place and is removed without a trace. The
# same package serves a person who double-clicks it and a deployment tool that runs
# msiexec /qn, so there is no second setup program. Neither writes anywhere near the server's
# keys or folders.
# Included from cmake/Install.cmake after the program folder's install rules.

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tambrel)
set(CPACK_PACKAGE_VENDOR "The Tambrel Developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Lists the codec, sample rate, date and size of a voice server's audio files")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tambrel-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)

include(${CMAKE_CURRENT_LIST_DIR}/PackageMsi.cmake)
