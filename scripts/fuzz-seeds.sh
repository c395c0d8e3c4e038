#!/usr/bin/env bash
# Seeds the fuzz corpora from the sample data tree (with a model and a world
# made from it to carry the plug-in data it lacks) and from the inputs of
# earlier findings (tests/readers/findings/TARGET/).
#   fuzz-seeds.sh DATA_DIR FUZZ_BUILD_DIR
set -euo pipefail
data=$1
build=$2
here=$(cd "$(dirname "$0")/.." && pwd)

seed() {  # target, files...
  local target=$1
  shift
  mkdir -p "$build/corpus-$target"
  for f in "$@"; do
    [ -f "$f" ] && cp -f "$f" "$build/corpus-$target/seed-$(basename "$f")"
  done
  if [ -d "$here/tests/readers/findings/$target" ]; then
    cp -f "$here/tests/readers/findings/$target"/* "$build/corpus-$target/" 2>/dev/null || true
  fi
}

seed clump $(find "$data" -name '*.DFF')
seed world $(find "$data" -name '*.BSP')
seed anim $(find "$data" -name '*.ANM')
seed bmp $(find "$data" -name '*.BMP')
seed dds
seed pitexd
seed pack
seed text
seed event_table $(find "$data" -name '*.EVT')
seed event_data $(find "$data" -name '*.HTE' -o -name '*.IGA' -o -name '*.MIC' -o -name '*.TEX' -o -name '*.MSS' -o -name '*.NPC')
seed event_data $(find "$data" -name '*.SUB')
# A scene's pack as the scene target reads it: u16 list length, list, stream.
mkdir -p "$build/corpus-scene"
for lst in $(find "$data/PACK" -path '*INGAME*' -name '*.LST'); do
  str=${lst%.LST}.STR
  n=$(stat -c %s "$lst")
  { printf "\\$(printf %03o $((n & 255)))\\$(printf %03o $((n >> 8)))"; cat "$lst" "$str"; } \
    > "$build/corpus-scene/seed-$(basename "$str")"
done
seed scene
seed fx_files $(find "$data" -iname '*.ZUS' -o -name '*.PSS' -o -name '*.XDT' -o -name '*.FXM' -o -name '*.lit' -o -name '*.BSH')
seed item_files $(find "$data" -name '*.ICL' -o -name '*.PBM' -o -name '*.IDS' -o -name '*.SAV')
"$build/tests/fuzz/make_plugin_seeds" "$data" "$build"
mkdir -p "$build/corpus-texdict"
"$build/tests/fuzz/make_texdict_seeds" "$data" "$build/corpus-texdict"
cp -f "$build/corpus-texdict"/sample-*.pitexd "$build/corpus-pitexd/"
seed texdict
