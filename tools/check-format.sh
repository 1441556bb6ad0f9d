#!/usr/bin/env bash
# Fails when a source differs from what clang-format makes of it
# (.clang-format); `git ls-files '*.cpp' '*.h' | xargs clang-format -i`
# puts it right.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "Formatting: every source as clang-format has it."
