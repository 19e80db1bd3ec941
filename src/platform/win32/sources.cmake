# Adapters beyond the foundation's.
target_sources(nimbral_win32 PRIVATE
)
