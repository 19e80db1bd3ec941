# The setup wizard's window, on the window layer.
add_library(nimbral_wizard STATIC wizard/frmSetup.cpp)
target_link_libraries(nimbral_wizard PUBLIC nimbral_windows)
