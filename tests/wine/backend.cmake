# The Windows backend against Wine's registry and SetupAPI with a scenario written into them by
# tools/scenario_to_reg.py: one prefix per scenario, the .reg files made at test time.
if(NOT TARGET velmaro_win32)
    return()
endif()
add_executable(test_wine_backend ${CMAKE_CURRENT_LIST_DIR}/backend/backend_test.cpp)
target_link_libraries(test_wine_backend PRIVATE velmaro_win32 velmaro_test_support velmaro_core
    GTest::gtest)

# typical-desktop: umlauts, a modem found through "AttachedTo", a device that is not present;
# missing-drivers: devices without a class.
set(reg_dir ${CMAKE_CURRENT_BINARY_DIR}/wine/backend)
file(MAKE_DIRECTORY ${reg_dir})
foreach(scenario typical-desktop missing-drivers)
    add_test(NAME wine.backend.${scenario}.reg
        COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/scenario_to_reg.py
            ${PROJECT_SOURCE_DIR}/scenarios/${scenario}.json ${reg_dir}/${scenario}.reg
            ${reg_dir}/${scenario}.serialcomm.reg)
    set_tests_properties(wine.backend.${scenario}.reg PROPERTIES FIXTURES_SETUP wine_backend_${scenario})
    add_test(NAME wine.backend.${scenario}
        COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine/run.sh --reg ${reg_dir}/${scenario}.reg
            --reg ${reg_dir}/${scenario}.serialcomm.reg
            $<TARGET_FILE:test_wine_backend> --scenario ${PROJECT_SOURCE_DIR}/scenarios/${scenario}.json)
    set_tests_properties(wine.backend.${scenario} PROPERTIES FIXTURES_REQUIRED wine_backend_${scenario}
        LABELS wine TIMEOUT 600)
endforeach()
