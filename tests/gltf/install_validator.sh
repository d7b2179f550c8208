#!/usr/bin/env bash
# Installs the glTF validator pinned by package-lock.json into DEST/node_modules with npm ci,
# unless the locked version is already there. Fails, saying what is missing, without node or
# npm (scripts/install-deps.sh installs them).
# usage: install_validator.sh SOURCE_FOLDER DEST
set -euo pipefail
source_folder=$1
dest=$2
for tool in node npm; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is not installed (scripts/install-deps.sh installs nodejs and npm)" >&2
        exit 1
    fi
done
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
cp "$source_folder/package.json" "$source_folder/package-lock.json" "$dest/"
locked=$(node -e "console.log(require('$dest/package-lock.json').packages['node_modules/gltf-validator'].version)")
installed=$(node -e "try { console.log(require('$dest/node_modules/gltf-validator/package.json').version) } catch { console.log('') }")
if [ "$installed" = "$locked" ]; then
    echo "gltf-validator $installed is installed in $dest"
    exit 0
fi
(cd "$dest" && npm ci --no-audit --no-fund)
echo "gltf-validator $locked installed in $dest"
