#!/usr/bin/env bash
# Makes catalogue/stations.tsv anew from the Radio Browser snapshot with
# lumaro-catalogue import: the 15,000 best-ranked live stations.
#   catalogue/regenerate.sh [SNAPSHOT]
# SNAPSHOT defaults to shared/data/radio-browser/stations.jsonl.gz beside the
# repository. The build turns the new stations.tsv into stations.dat.
set -euo pipefail
cd "$(dirname "$0")/.."
snapshot=${1:-../shared/data/radio-browser/stations.jsonl.gz}
[ -r "$snapshot" ] || { echo "regenerate.sh: cannot read the snapshot $snapshot" >&2; exit 1; }

if [ ! -f build/build.ninja ]; then
  scripts/install-deps.sh
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build --target lumaro-catalogue >/dev/null
build/LumaroRadio/lumaro-catalogue import --count 15000 "$snapshot" catalogue/stations.tsv
