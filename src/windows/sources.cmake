# One unit per window.
add_library(nimbral_windows STATIC
    windows/frmResults.cpp
)
target_link_libraries(nimbral_windows PUBLIC nimbral_win32 comctl32 user32 gdi32)

# The windows' dialog layouts, linked as objects: a resource in a static library never reaches the
# program, since nothing refers to it by symbol.
add_library(nimbral_resources OBJECT app/nimbral.rc)
target_include_directories(nimbral_resources PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
