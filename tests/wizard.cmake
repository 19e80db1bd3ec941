# Tests of the setup wizard's rules, natively over plain models.
if(NOT WIN32)
    target_sources(nimbral_unit_tests PRIVATE unit/WizardRulesTest.cpp)
endif()
