# Parity: for every shipped scenario, velmaro-list.exe on Wine's registry with the scenario written
# into it lists the same rows as the same program on the memory backend with --scenario
# (tests/wine/parity/compare_rows.py says which differences of order it allows, and why).
if(NOT TARGET velmaro-list OR NOT TARGET velmaro_win32)
    return()
endif()
file(GLOB VELMARO_PARITY_SCENARIOS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/scenarios/*.json)
foreach(scenario IN LISTS VELMARO_PARITY_SCENARIOS)
    get_filename_component(name ${scenario} NAME_WE)
    add_test(NAME wine.parity.${name}
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/parity/parity.sh $<TARGET_FILE:velmaro-list> ${scenario}
            ${CMAKE_CURRENT_BINARY_DIR}/wine/parity/${name})
    set_tests_properties(wine.parity.${name} PROPERTIES LABELS wine TIMEOUT 600
        ENVIRONMENT PYTHON=${Python3_EXECUTABLE})
endforeach()
