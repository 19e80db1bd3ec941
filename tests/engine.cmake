# Tests of the clean run: natively over the doubles, under Wine against the real system.
if(NOT WIN32)
    target_sources(nimbral_unit_tests PRIVATE unit/CleanRunTest.cpp unit/PreviewTest.cpp unit/RunUrlCacheTest.cpp)
else()
    target_sources(nimbral_win_tests PRIVATE win/FolderRemovalTest.cpp win/RegistryClearTest.cpp)
    add_test(NAME wine.links COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win/make-links.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(wine.links PROPERTIES FIXTURES_SETUP WineLinks FIXTURES_REQUIRED WinePrefix)
    set_property(TEST win APPEND PROPERTY FIXTURES_REQUIRED WineLinks)
endif()

if(WIN32)
    # nimbral.exe /auto end to end, in a prefix of its own seeded by seed_demo.exe.
    add_test(NAME e2e COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-e2e.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(e2e PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
    # /auto /preview against /auto /yes on two prefixes seeded alike.
    add_test(NAME preview COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run-preview.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(preview PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
endif()
