#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled
# sample model: open it, print what it holds, save it again and check that
# the copy is identical.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
model=samples/small-building.ifc
out=$(mktemp --suffix=.ifc)
trap 'rm -f "$out"' EXIT
build/bin/ifcinfo "$model" -o "$out"
if cmp -s "$model" "$out"; then
  echo "Round trip: the saved copy is byte-identical to $model"
else
  echo "Round trip: the saved copy differs from $model" >&2
  exit 1
fi
