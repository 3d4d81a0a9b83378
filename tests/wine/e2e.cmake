# Velmaro.exe end to end: the window with a scenario's machine in Wine's registry, read back from
# outside by a probe program, clicked, started twice; screenshots beside the test's output; the
# lister's watch on the same machine.
if(NOT TARGET Velmaro)
    return()
endif()

add_executable(velmaro_e2e_probe ${CMAKE_CURRENT_LIST_DIR}/e2e/probe.cpp)
target_link_options(velmaro_e2e_probe PRIVATE -municode)
target_link_libraries(velmaro_e2e_probe PRIVATE gdi32 user32)

add_test(NAME wine.e2e
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine/display.sh
        ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/e2e/run_e2e.py
        --velmaro $<TARGET_FILE:Velmaro>
        --lister $<TARGET_FILE:velmaro-list>
        --probe $<TARGET_FILE:velmaro_e2e_probe>
        --tool ${PROJECT_SOURCE_DIR}/tools/scenario_to_reg.py
        --prefix-script ${PROJECT_SOURCE_DIR}/scripts/wine/prefix.sh
        --out ${CMAKE_BINARY_DIR}/e2e)
set_tests_properties(wine.e2e PROPERTIES LABELS wine TIMEOUT 300)
