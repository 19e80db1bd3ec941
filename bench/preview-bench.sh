#!/bin/bash
# The preview's proof on the e2e benchmark's machine (20,000 cache entries, 5,000 cookie files,
# 20,000 temp files, the three categories the benchmark ticks): the preview's lines equal the
# clean's, its prefix is unchanged, and both run times with their ratio are printed.
#
# usage: bench/preview-bench.sh [BUILD_DIR]   (default build/windows)
exec "$(dirname "$0")/../tests/e2e/run-preview.sh" "${1:-build/windows}" --large
