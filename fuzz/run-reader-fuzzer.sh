#!/usr/bin/env bash
# Runs the reader fuzzer from a fresh corpus in a work folder (default
# /tmp/reader-fuzz): the seed models of fuzz/seeds, the test fixtures, and
# the first records of the sample models (cut after a whole record and
# closed, so that they open). Extra arguments go to libFuzzer.
#
#   fuzz/run-reader-fuzzer.sh [-max_total_time=1800] [-jobs=1] ...
#
# Needs the fuzz build: CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz
#   -DMQ_FUZZ=ON -DMQ_BUILD_TESTS=OFF && cmake --build build-fuzz --target ReaderFuzzer
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
fuzzer="${FUZZER:-$root/build-fuzz/bin/ReaderFuzzer}"
work="${WORK:-/tmp/reader-fuzz}"
samples="${SAMPLES:-$root/../shared/samples}"
mkdir -p "$work/corpus" "$work/artifacts"

cp "$root"/fuzz/seeds/*.ifc "$work/corpus/"
find "$root/tests/ifc2x3/fixtures" -type f -exec cp {} "$work/corpus/" \; 2>/dev/null || true
# Pieces of the samples stay in the work folder, never in the repository.
for sample in "$samples"/*.ifc; do
  [ -f "$sample" ] || continue
  name="$(basename "$sample" .ifc)"
  for lines in 30 120 400; do
    awk -v n="$lines" '
      /^DATA;/ { data = 1 }
      { print; if (data && /;[ \r]*$/ && ++count >= n) exit }
      END { print "ENDSEC;"; print "END-ISO-10303-21;" }' "$sample" > "$work/corpus/$name-$lines.ifc"
  done
done

cd "$work"
exec "$fuzzer" corpus -dict="$root/fuzz/ifc.dict" -artifact_prefix=artifacts/ \
  -timeout=5 -rss_limit_mb=2048 -max_len=16384 "$@"
