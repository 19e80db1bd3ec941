# The clean run and its steps (portable).
target_sources(nimbral_core PRIVATE
    engine/HostKey.cpp
)
