# The clean run and its steps (portable).
target_sources(nimbral_core PRIVATE
    engine/Headless.cpp
    engine/HostKey.cpp
    engine/KeepPatterns.cpp
    engine/KeepText.cpp
    engine/modEngine.cpp
    engine/Preview.cpp
    engine/RunUrlCache.cpp
    engine/WalkUrlCache.cpp
)
