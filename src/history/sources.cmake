# corvelHistoryDeleter.dll, installed beside the program.
add_library(corvelHistoryDeleter SHARED history/corvelHistoryDeleter.cpp history/corvelHistoryDeleter.def)
target_include_directories(corvelHistoryDeleter PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(corvelHistoryDeleter PRIVATE wininet)
# The program loads it by name, so it sits beside nimbral.exe, and beside the test programs too.
set_target_properties(corvelHistoryDeleter PROPERTIES
    OUTPUT_NAME corvelHistoryDeleter
    PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/src
)
add_custom_command(TARGET corvelHistoryDeleter POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tests
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:corvelHistoryDeleter> ${CMAKE_BINARY_DIR}/tests/
)
install(TARGETS corvelHistoryDeleter RUNTIME DESTINATION .)
