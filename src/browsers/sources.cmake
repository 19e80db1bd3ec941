# Today's browsers: profiles, keep decisions and statement plans (portable), over the database seam
# and its SQLite implementation.
target_sources(nimbral_core PRIVATE
    platform/sqlite/Database.cpp
    platform/sqlite/OverlayVfs.cpp
    platform/sqlite/SqliteDatabases.cpp
    browsers/BrowserCleaner.cpp
    browsers/CleanPlans.cpp
    browsers/CookieKeep.cpp
    browsers/Profiles.cpp
)
