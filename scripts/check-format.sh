#!/usr/bin/env bash
# Fails, naming the files, when a tracked C++ source is not as clang-format lays it out.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
unformatted=()
for f in "${sources[@]}"; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        unformatted+=("$f")
    fi
done
if [ ${#unformatted[@]} -ne 0 ]; then
    echo "not clang-format clean (run 'make format'):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
fi
echo "clang-format: ${#sources[@]} files clean"
