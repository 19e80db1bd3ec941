# Tests of the plugins: natively over the doubles, under Wine against the real system.
if(NOT WIN32)
    target_sources(nimbral_unit_tests PRIVATE unit/PluginFilesTest.cpp)
    target_sources(nimbral_unit_tests PRIVATE unit/RegistryListTest.cpp)
    target_sources(nimbral_unit_tests PRIVATE unit/FileListTest.cpp)
else()
    target_sources(nimbral_win_tests PRIVATE win/FileListTest.cpp)
endif()
