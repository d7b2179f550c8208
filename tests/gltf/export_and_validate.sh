#!/usr/bin/env bash
# Exports a model with posewrighter-cli and runs the glTF validator over the result; fails on
# any export failure or validator error.
# usage: export_and_validate.sh CLI VALIDATOR_FOLDER OUT.glb|OUT.gltf MODEL.pwp [ANIM.pwa]
set -euo pipefail
cli=$1
validator=$2
out=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$(dirname "$out")"
mkdir -p "$(dirname "$out")"
"$cli" export "$@" -o "$out"
node "$here/validate.mjs" "$validator" "$out"
