# The community rule file: parser, detection, judgements and the runner (portable).
target_sources(nimbral_core PRIVATE
    rules/CommunityRules.cpp
    rules/RuleDetect.cpp
    rules/RuleFile.cpp
    rules/RuleJudge.cpp
    rules/RuleRefusals.cpp
    rules/RuleRunner.cpp
    rules/RuleUpdate.cpp
    rules/RuleVariables.cpp
)
