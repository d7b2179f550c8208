#!/usr/bin/env bash
# Fails, with shellcheck's findings, when a tracked shell script has any: every *.sh and the CI
# entry point .ci/run. Sourced files are followed from the sourcing script's folder.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t scripts < <(git ls-files '*.sh' .ci/run)
shellcheck --external-sources --source-path=SCRIPTDIR "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts clean"
