# Adapters beyond the foundation's.
target_sources(nimbral_win32 PRIVATE
    platform/win32/Win32HistoryLibrary.cpp
    platform/win32/Win32UrlCache.cpp
)
