# Tests of today's browsers: natively against real database files, under Wine against the real
# system as well.
add_library(nimbral_browser_fixtures STATIC fixtures/BrowserFixtures.cpp)
target_include_directories(nimbral_browser_fixtures PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(nimbral_browser_fixtures PUBLIC nimbral_sqlite)
if(NOT WIN32)
    target_sources(nimbral_unit_tests PRIVATE unit/BrowsersTest.cpp)
    target_link_libraries(nimbral_unit_tests PRIVATE nimbral_browser_fixtures)
endif()
if(WIN32)
    target_sources(nimbral_win_tests PRIVATE win/BrowsersTest.cpp)
    target_link_libraries(nimbral_win_tests PRIVATE nimbral_browser_fixtures)
    target_link_libraries(nimbral_gui_tests PRIVATE nimbral_browser_fixtures)
endif()
