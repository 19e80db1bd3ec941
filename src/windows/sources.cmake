# One unit per window, and what they stand on.
add_library(nimbral_windows STATIC
    windows/Dpi.cpp
    windows/Form8.cpp
    windows/MessageLoop.cpp
    windows/ProgramWindows.cpp
    windows/RunningProgram.cpp
    windows/frmAbout.cpp
    windows/frmMain.cpp
    windows/frmPass.cpp
    windows/frmPlugins.cpp
    windows/frmResults.cpp
    windows/frmRules.cpp
    windows/frmRulesUpdate.cpp
    windows/frmSplash.cpp
    windows/frmWebsite.cpp
    windows/modIcon.cpp
)
target_link_libraries(nimbral_windows PUBLIC nimbral_win32 comctl32 user32 gdi32)

# The program's resources: icons, pictures and each window's templates, linked as objects: a resource
# in a static library never reaches the program, since nothing refers to it by symbol.
add_library(nimbral_resources OBJECT app/nimbral.rc)
target_include_directories(nimbral_resources PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
set_property(SOURCE app/nimbral.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/app/nimbral.manifest
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/nimbral.ico
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/splash.bmp
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/about.bmp
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/splash-144.bmp
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/about-144.bmp
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/go.ico
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/back.ico
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/forward.ico
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/stop.ico
    ${CMAKE_CURRENT_SOURCE_DIR}/app/art/refresh.ico
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/resource.h
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmResults.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmMain.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmPass.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmSplash.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/Form8.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmAbout.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmWebsite.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/wizard/frmSetup.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmPlugins.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmRules.rc
    ${CMAKE_CURRENT_SOURCE_DIR}/windows/frmRulesUpdate.rc
)
