# Tests of this area: native ones join nimbral_unit_tests, Wine ones nimbral_win_tests.
