# Every Wine run of this build tree happens in a prefix, home, trash and configuration of its own
# inside the tree: Wine links profile folders into $HOME and maps the recycle bin to the
# freedesktop Trash, so anything looser would let a test reach the real user's files.
set(NIMBRAL_WINE_ROOT "${CMAKE_BINARY_DIR}/wine")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-env.sh.in ${CMAKE_BINARY_DIR}/wine-env.sh @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
               WORLD_READ WORLD_EXECUTE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-prefix.sh.in ${CMAKE_BINARY_DIR}/wine-prefix
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
               WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")

# A fresh prefix for each test run, one wineserver kept alive for all of it.
function(nimbral_wine_fixture)
    add_test(NAME wine.prefix.start COMMAND ${CMAKE_BINARY_DIR}/wine-prefix start)
    add_test(NAME wine.prefix.stop COMMAND ${CMAKE_BINARY_DIR}/wine-prefix stop)
    set_tests_properties(wine.prefix.start PROPERTIES FIXTURES_SETUP WinePrefix TIMEOUT 120)
    set_tests_properties(wine.prefix.stop PROPERTIES FIXTURES_CLEANUP WinePrefix)
endfunction()

# Adds a test binary run once under Wine in the shared prefix.
function(nimbral_add_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED WinePrefix TIMEOUT 600)
endfunction()
