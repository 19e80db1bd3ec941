# Tests of the community rules: natively over the doubles, under Wine against the real system.
if(NOT WIN32)
    target_sources(nimbral_unit_tests PRIVATE
        unit/CommunityRulesTest.cpp
        unit/RuleFileTest.cpp
        unit/RuleRunTest.cpp
        unit/RuleUpdateTest.cpp
        unit/RuleVariablesTest.cpp
    )
endif()
if(WIN32)
    target_sources(nimbral_win_tests PRIVATE
        win/LocalHttpServer.cpp
        win/RuleFilesTest.cpp
        win/RuleUpdateTest.cpp
    )
    target_link_libraries(nimbral_win_tests PRIVATE ws2_32)
endif()
