# Adapters beyond the foundation's.
target_sources(nimbral_win32 PRIVATE
    platform/win32/Win32HistoryLibrary.cpp
    platform/win32/Win32UrlCache.cpp
    platform/win32/CleanLock.cpp
    platform/win32/Win32Databases.cpp
)

# The community rules: the system's known folders, and the update's download and replacement.
target_sources(nimbral_win32 PRIVATE
    platform/win32/Win32KnownFolders.cpp
    platform/win32/Win32WebDownload.cpp
)

# The embedded web browser's OLE container.
target_sources(nimbral_win32 PRIVATE platform/win32/OleWebBrowser.cpp)
target_link_libraries(nimbral_win32 PUBLIC oleaut32 uuid)
