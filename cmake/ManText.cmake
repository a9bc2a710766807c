# Writes a manual page as plain text for Windows, where there is no man: formatted by groff
# for a terminal of 80 columns, without overstriking or escape sequences, with CRLF line ends.
# Run as: cmake -DGROFF=<groff> -DPAGE=<page.1> -DOUTPUT=<page.txt> -P ManText.cmake
execute_process(
    COMMAND ${GROFF} -man -Tascii -P-c -P-b -P-o -P-u ${PAGE}
    OUTPUT_VARIABLE text
    RESULT_VARIABLE status
    ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "groff could not format ${PAGE}: ${errors}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
