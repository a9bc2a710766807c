# The programs that run during the build: the writer of the English resource script (from the
# built-in string table) and, with the windows, the writer of the program's icon. They run on
# the build machine, so a cross build does not build them for its target: it builds them in a
# build of their own for this machine (host-tools/ below its folder, from the same sources), and
# nothing made for the target ever runs during the build.
#
# Sets TAMBREL_ENGLISH_RC_WRITER and TAMBREL_ICON_WRITER (the programs to run), and
# TAMBREL_ENGLISH_RC_WRITER_DEPENDS and TAMBREL_ICON_WRITER_DEPENDS (what a step that runs one
# depends on).

if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    set(host_tools_dir ${CMAKE_BINARY_DIR}/host-tools)
    set(TAMBREL_ENGLISH_RC_WRITER ${host_tools_dir}/tools/tambrel_english_rc_writer)
    set(TAMBREL_ICON_WRITER ${host_tools_dir}/tools/tambrel_icon_writer)
    set(host_tools_outputs ${TAMBREL_ENGLISH_RC_WRITER})
    if(TAMBREL_BUILD_GUI)
        list(APPEND host_tools_outputs ${TAMBREL_ICON_WRITER})
    endif()
    set(host_tools_arguments
        -DTAMBREL_HOST_TOOLS_ONLY=ON -DTAMBREL_BUILD_GUI=${TAMBREL_BUILD_GUI}
        -DCMAKE_BUILD_TYPE=Release)
    if(CMAKE_CXX_COMPILER_LAUNCHER)
        list(APPEND host_tools_arguments -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
            -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER})
    endif()
    # The host build is configured with no toolchain file and no Qt for the target in sight:
    # the host's compiler and, for the icon, the host's Qt.
    ExternalProject_Add(host_tools
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${host_tools_dir}
        CMAKE_GENERATOR ${CMAKE_GENERATOR}
        CMAKE_ARGS ${host_tools_arguments}
        BUILD_COMMAND ${CMAKE_COMMAND} --build ${host_tools_dir}
        INSTALL_COMMAND ""
        # Its own build decides what is out of date, so a changed string table reaches the
        # English library.
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${host_tools_outputs})
    set(TAMBREL_ENGLISH_RC_WRITER_DEPENDS host_tools ${TAMBREL_ENGLISH_RC_WRITER})
    set(TAMBREL_ICON_WRITER_DEPENDS host_tools ${TAMBREL_ICON_WRITER})
    return()
endif()

add_executable(tambrel_english_rc_writer ${PROJECT_SOURCE_DIR}/resources/tools/write_english_rc.cpp)
target_include_directories(tambrel_english_rc_writer PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tambrel_english_rc_writer PRIVATE localize)
set(TAMBREL_ENGLISH_RC_WRITER $<TARGET_FILE:tambrel_english_rc_writer>)
set(TAMBREL_ENGLISH_RC_WRITER_DEPENDS tambrel_english_rc_writer)
set(host_tools tambrel_english_rc_writer)
if(TAMBREL_BUILD_GUI)
    add_executable(tambrel_icon_writer
        ${PROJECT_SOURCE_DIR}/resources/logos/write_icon.cpp
        ${PROJECT_SOURCE_DIR}/resources/logos/windows_icon_file.cpp
        ${PROJECT_SOURCE_DIR}/ui/window_icon.cpp)
    target_include_directories(tambrel_icon_writer PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(tambrel_icon_writer PRIVATE Qt6::Gui tambrel_build_flags)
    set(TAMBREL_ICON_WRITER $<TARGET_FILE:tambrel_icon_writer>)
    set(TAMBREL_ICON_WRITER_DEPENDS tambrel_icon_writer)
    list(APPEND host_tools tambrel_icon_writer)
endif()
# Not shipped: kept out of the folder that holds what is installed.
set_target_properties(${host_tools} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
