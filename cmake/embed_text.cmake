# Writes a text file into a C++ source as one raw string literal, so that the program carries the
# file instead of reading it at run time. Run with cmake -P and INPUT, TEMPLATE and OUTPUT set; the
# template holds @EMBEDDED_TEXT@ inside R"velmaro_embed(...)velmaro_embed".
foreach(var INPUT TEMPLATE OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "embed_text.cmake needs -D${var}=...")
    endif()
endforeach()

file(READ "${INPUT}" EMBEDDED_TEXT)
# The raw string would end early at its own delimiter.
string(FIND "${EMBEDDED_TEXT}" ")velmaro_embed\"" clash)
if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${INPUT} contains the raw string delimiter )velmaro_embed\"")
endif()
# configure_file rewrites the output only when its content changes, so an unchanged table does not
# recompile anything.
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
