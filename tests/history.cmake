# Tests of this area: native ones join nimbral_unit_tests, Wine ones nimbral_win_tests.
if(WIN32)
    target_sources(nimbral_win_tests PRIVATE win/HistoryLibraryTest.cpp)
    # The tests load the library by name from their own folder.
    add_dependencies(nimbral_win_tests corvelHistoryDeleter)
endif()
