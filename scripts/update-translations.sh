#!/usr/bin/env bash
# Brings the French catalogues in line with the code's texts (new texts come
# in unfinished, texts gone from the code are dropped); translate the new
# ones with linguist before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate -no-obsolete -locations none src/Orvane src/OrvaneXlsx src/OrvaneWidgets src/apps/orvane \
  -ts src/OrvaneWidgets/translations/orvane_fr.ts
lupdate -no-obsolete -locations none src/Plugins/Tools/MaterialQuantities \
  -ts src/Plugins/Tools/MaterialQuantities/translations/material_quantities_fr.ts
