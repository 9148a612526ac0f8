#!/usr/bin/env bash
# Fails on every C++ source of the repository that clang-format would change (.clang-format).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
if [ -e .git ] && command -v git >/dev/null; then
    git ls-files -z '*.cpp' '*.h'
else
    find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
fi | xargs -0 clang-format --dry-run --Werror
