# Plugins: discovery, the runner and the two list processors (portable).
target_sources(nimbral_core PRIVATE
    plugins/FileList.cpp
    plugins/LineReader.cpp
    plugins/RegistryList.cpp
    plugins/PluginFiles.cpp
)
