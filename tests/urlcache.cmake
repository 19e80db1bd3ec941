# Tests of this area: native ones join nimbral_unit_tests, Wine ones nimbral_win_tests.
target_sources(nimbral_doubles PRIVATE doubles/FakeUrlCache.cpp)
if(NOT WIN32)
    target_sources(nimbral_unit_tests PRIVATE unit/KeepTest.cpp unit/WalkUrlCacheTest.cpp)
else()
    target_sources(nimbral_win_tests PRIVATE win/UrlCacheTest.cpp)
endif()
