# The Windows Installer package, tambrel-<version>-win64.msi, for the deployment tools of
# administrators (Group Policy, msiexec /qn): the program folder as `cmake --install` lays it
# out, staged and stripped, packed by wixl from resources/tambrel.wxs. Target `msi`.
#
# Target `msi_upgrade_test` builds the same package under the next patch version, for the test
# that installs it over this one (tests/e2e/windows).
# Included from cmake/PackageWindows.cmake.

find_program(TAMBREL_WIXL wixl REQUIRED)
find_program(TAMBREL_MSIBUILD msibuild REQUIRED)

# Fixed for ever: resources/tambrel.wxs names it too.
set(TAMBREL_UPGRADE_CODE 6f1d2c8e-3b0a-4c55-9a7e-2d4b8f0c1a93)

set(msi_stage ${CMAKE_BINARY_DIR}/msi-stage)
# Staged afresh each time, so that a file dropped from the install never lingers in a package.
add_custom_target(msi_stage
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${msi_stage}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${msi_stage} --strip
    COMMENT "Staging the program folder for the Windows Installer package"
    VERBATIM)
add_dependencies(msi_stage tambrel tambrel-cli help_pages qt_translations manual_texts
    language_library_enu language_library_deu language_library_jpn)

# tambrel_add_msi(<target> <version> <output>): the package of that version. Its product code
# is derived from the upgrade code and the version, so each version has its own and a rebuild
# of the same version keeps it.
function(tambrel_add_msi target version output)
    string(UUID product_code NAMESPACE ${TAMBREL_UPGRADE_CODE} NAME "Tambrel ${version}"
        TYPE SHA1)
    file(RELATIVE_PATH stage_relative ${CMAKE_BINARY_DIR} ${msi_stage})
    file(RELATIVE_PATH icon_relative ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/app/Tambrel.ico)
    add_custom_target(${target}
        COMMAND ${CMAKE_COMMAND} -DWIXL=${TAMBREL_WIXL} -DMSIBUILD=${TAMBREL_MSIBUILD}
                -DWXS=${PROJECT_SOURCE_DIR}/resources/tambrel.wxs -DSTAGE_DIR=${stage_relative}
                -DICON_FILE=${icon_relative} -DVERSION=${version}
                -DPRODUCT_CODE=${product_code} -DOUTPUT=${output}
                -P ${PROJECT_SOURCE_DIR}/cmake/BuildMsi.cmake
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        BYPRODUCTS ${output}
        COMMENT "Building the Windows Installer package ${output}"
        VERBATIM)
    add_dependencies(${target} msi_stage)
endfunction()

set(TAMBREL_MSI ${CMAKE_BINARY_DIR}/tambrel-${PROJECT_VERSION}-win64.msi)
tambrel_add_msi(msi ${PROJECT_VERSION} ${TAMBREL_MSI})

math(EXPR next_patch "${PROJECT_VERSION_PATCH} + 1")
set(TAMBREL_UPGRADE_TEST_VERSION
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${next_patch})
# A fixed name, which the test is given; it reads the version from the package itself.
set(TAMBREL_UPGRADE_TEST_MSI ${CMAKE_BINARY_DIR}/upgrade-test/tambrel-upgrade-test-win64.msi)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/upgrade-test)
tambrel_add_msi(msi_upgrade_test ${TAMBREL_UPGRADE_TEST_VERSION} ${TAMBREL_UPGRADE_TEST_MSI})
