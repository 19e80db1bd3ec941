# The setup wizard's rules (portable).
target_sources(nimbral_core PRIVATE
    wizard/WizardRules.cpp
)
