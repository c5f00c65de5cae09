#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled
# sample model: computes the material quantities of its building elements,
# saves the model with the results and prints the summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
model=samples/small-building.ifc
out=build/small-building-quantities.ifc
log=build/material-quantities.log
build/bin/material-quantities compute "$model" -o "$out" 2>"$log"
echo "Warnings and errors of the run: $log"
