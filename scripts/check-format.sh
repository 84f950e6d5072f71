#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from the project's .clang-format.
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"
cd "$(dirname "$0")/.."
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
