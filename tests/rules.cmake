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
