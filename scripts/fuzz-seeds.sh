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
# Packs as the pack target reads them (u16 list length, list, stream), the
# small ones (the large ones only slow each run down).
mkdir -p "$build/corpus-pack"
for lst in $(find "$data" -name '*.LST'); do
  str=${lst%.LST}.STR
  [ "$(stat -c %s "$str")" -le 65536 ] || continue
  n=$(stat -c %s "$lst")
  { printf "\\$(printf %03o $((n & 255)))\\$(printf %03o $((n >> 8)))"; cat "$lst" "$str"; } \
    > "$build/corpus-pack/seed-$(basename "$(dirname "$str")")-$(basename "$str")"
done
seed pack
# The text target: a first byte 0 before a font, 1 before a message table.
mkdir -p "$build/corpus-text"
for f in $(find "$data" -name '*.XBF'); do
  { printf '\000'; cat "$f"; } > "$build/corpus-text/seed-$(basename "$f")"
done
for f in $(find "$data" -name '*.TCR'); do
  { printf '\001'; cat "$f"; } > "$build/corpus-text/seed-$(basename "$f")"
done
seed text
# Files that travel inside the packs (names, store messages, words), taken
# out of them: a record is a u32 name length, the name, a u32 size, the bytes.
unpack() {  # extension, folder
  python3 - "$data" "$1" "$2" <<'PY'
import os, struct, sys
data, ext, out = sys.argv[1:]
os.makedirs(out, exist_ok=True)
for top, _, files in os.walk(data):
    for name in files:
        if not name.endswith('.LST'):
            continue
        lst = os.path.join(top, name)
        stream = open(lst[:-4] + '.STR', 'rb').read()
        for line in open(lst, 'rb').read().decode('latin-1').splitlines():
            fields = line.split('\t')
            if len(fields) < 2 or not fields[0].upper().endswith(ext):
                continue
            at = int(fields[1])
            (length,) = struct.unpack_from('<I', stream, at)
            (size,) = struct.unpack_from('<I', stream, at + 4 + length)
            body = stream[at + 8 + length:at + 8 + length + size]
            base = fields[0].replace('\\', '_').strip('_')
            open(os.path.join(out, 'seed-' + base), 'wb').write(body)
PY
}
for ext in .NAM .STO WORD.TXT; do
  unpack "$ext" "$build/corpus-ui_texts"
done
seed ui_texts $(find "$data" -name '*.SKL' -o -name '*.BGM' -o -name 'WORD.TXT')
for ext in .AMF .PAF .FSF; do
  unpack "$ext" "$build/corpus-stage_files"
done
seed stage_files $(find "$data" -name '*.BSF' -o -name '*.IAF' -o -name '*.ATF' -o -name '*.PAF' -o -name '*.AMF' \
  -o -name '*.FSF' -o -name '*.SFL')
# Bindings and scripts from the tree and the tests, and the small sounds.
mkdir -p "$build/corpus-input_files"
printf 'MouseSpeed: 0.300000\nSlot: 1\n{\nactive: 1\nleft: 30\nright: 32\ncross: 57\n}\nSlot: 2\n{\nlax: 0\n}\n' \
  > "$build/corpus-input_files/seed-buttons.pref"
seed input_files $(find "$here/tests" -path '*/scripts/*.txt') $(find "$data" -name '*.WAV' -size -16k)
seed movie $(find "$data" -name '*.BIK' -size -256k)
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
