# The windows, driven in-process through their controls under Wine (and Xvfb for a display).
if(WIN32)
    add_executable(nimbral_gui_tests
        gui/MainWindowTest.cpp
        gui/PluginsBrowserHostTest.cpp
        gui/PluginsWindowTest.cpp
        gui/ProgramWindowsTest.cpp
        gui/ResultsWindowTest.cpp
        gui/RulesWindowsTest.cpp
        gui/SetupWizardTest.cpp
        gui/WindowServicesTest.cpp
        win/LocalHttpServer.cpp
        win/WinTestMain.cpp
        win/WinTestSupport.cpp
        $<TARGET_OBJECTS:nimbral_resources>
    )
    target_link_libraries(nimbral_gui_tests PRIVATE nimbral_windows nimbral_wizard nimbral_doubles GTest::gmock ws2_32)
    nimbral_add_wine_test(gui nimbral_gui_tests)

    # Every window's layout, at the prefix's own 96 dots per inch and again at 144.
    add_executable(nimbral_layout_tests gui/LayoutTest.cpp win/WinTestMain.cpp $<TARGET_OBJECTS:nimbral_resources>)
    target_link_libraries(nimbral_layout_tests PRIVATE nimbral_windows nimbral_wizard nimbral_doubles GTest::gmock)
    nimbral_add_wine_test(layout.96 nimbral_layout_tests)
    add_test(NAME layout.144
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/gui/at-dpi.sh ${CMAKE_BINARY_DIR} 144
                     $<TARGET_FILE:nimbral_layout_tests>)
    set_tests_properties(layout.144 PROPERTIES FIXTURES_REQUIRED WinePrefix TIMEOUT 600 RUN_SERIAL TRUE)

    # nimbral.exe from outside its process, in a prefix of its own.
    add_test(NAME blackbox COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/blackbox/run-blackbox.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(blackbox PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
endif()
