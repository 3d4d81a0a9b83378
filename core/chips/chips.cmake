# The chip table is data in resources/; the build embeds it into the core as a generated source.
set(VELMARO_CHIP_TABLE ${PROJECT_SOURCE_DIR}/resources/usb_serial_chips.tsv)
set(VELMARO_CHIP_TABLE_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/generated/usb_serial_chips_text.cpp)
add_custom_command(
    OUTPUT ${VELMARO_CHIP_TABLE_SOURCE}
    COMMAND ${CMAKE_COMMAND}
        -DINPUT=${VELMARO_CHIP_TABLE}
        -DTEMPLATE=${CMAKE_CURRENT_LIST_DIR}/usb_serial_chips_text.cpp.in
        -DOUTPUT=${VELMARO_CHIP_TABLE_SOURCE}
        -P ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake
    DEPENDS ${VELMARO_CHIP_TABLE} ${CMAKE_CURRENT_LIST_DIR}/usb_serial_chips_text.cpp.in
        ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake
    COMMENT "Embedding the USB-serial chip table"
    VERBATIM)
target_sources(velmaro_core PRIVATE ${VELMARO_CHIP_TABLE_SOURCE})
