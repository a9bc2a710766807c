# Builds a resource-only Windows PE library from a .rc file with the MinGW binutils: windres
# compiles the string table (the host cpp as its preprocessor), ld links it into a DLL with no
# code, no symbols and no entry point: one resource section, nothing after it. The same files
# serve Windows and Linux.
find_program(TAMBREL_WINDRES NAMES x86_64-w64-mingw32-windres REQUIRED)
find_program(TAMBREL_PE_LD NAMES x86_64-w64-mingw32-ld REQUIRED)
find_program(TAMBREL_HOST_CPP NAMES cpp REQUIRED)
set(TAMBREL_LIBRARY_LINKER_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/resource_only_library.ld)

# tambrel_language_library(<target> SOURCE <rc> OUTPUT <dll path> [MACHINE pe32|pe32plus])
function(tambrel_language_library target)
    cmake_parse_arguments(ARG "" "SOURCE;OUTPUT;MACHINE" "" ${ARGN})
    if(NOT ARG_MACHINE)
        set(ARG_MACHINE pe32plus)
    endif()
    if(ARG_MACHINE STREQUAL "pe32")
        set(windres_target pe-i386)
        set(ld_emulation i386pe)
    else()
        set(windres_target pe-x86-64)
        set(ld_emulation i386pep)
    endif()
    get_filename_component(source ${ARG_SOURCE} ABSOLUTE)
    get_filename_component(output_dir ${ARG_OUTPUT} DIRECTORY)
    set(object ${CMAKE_CURRENT_BINARY_DIR}/${target}.res.o)
    add_custom_command(
        OUTPUT ${ARG_OUTPUT}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
        COMMAND ${TAMBREL_WINDRES} --preprocessor=${TAMBREL_HOST_CPP}
                --preprocessor-arg=-xc-header --preprocessor-arg=-DRC_INVOKED
                -c 65001 --target=${windres_target} -i ${source} -o ${object}
        COMMAND ${TAMBREL_PE_LD} -m ${ld_emulation} -T ${TAMBREL_LIBRARY_LINKER_SCRIPT} -s
                --dll --entry=0 -nostdlib --image-base=0x10000000 -o ${ARG_OUTPUT} ${object}
        DEPENDS ${source} ${TAMBREL_LIBRARY_LINKER_SCRIPT}
        COMMENT "Building language library ${ARG_OUTPUT}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${ARG_OUTPUT})
endfunction()
