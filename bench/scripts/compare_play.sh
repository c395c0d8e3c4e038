#!/bin/sh
# The play benchmarks of two builds side by side in one run, so that their figures share
# the machine's load: each case runs on one build, then the other, pinned to one core
# with one rasteriser thread (CORE, default 7), REPEATS times (default 3); then the road
# and the arena once each on all cores. Each run's table and the load average go to the
# output; compare the medians of the repeats.
#
#   compare_play.sh BASE_BUILD NEW_BUILD [REPEATS] [CORE]
#
# Each build directory needs bench/bench_stage_play and its data/ tree; DATA=DIR plays
# both on one tree instead, so that both draw the same scenes. PLAYTHROUGH=1 adds the
# whole play-through of the tests' two scripts (tests/ui/scripts), played on a tree of
# links to the data with a SAVE folder of its own, since the second script saves a game;
# PLAYTHROUGH=only plays just those two, REPEATS times, and nothing on all cores.
# TICKS=DIR writes every run's ticks (bench_stage_play --ticks) to DIR, one file a run
# named BUILD-CASE-REPEAT.ticks; compare_ticks.py DIR then prints each case's rows side
# by side, each switch of the screen or stage paired with the same switch of the other
# build (the table's one "switching" row a screen pools switches that may differ when
# the two builds play different roads).
set -eu
base=$1
new=$2
repeats=${3:-3}
core=${4:-7}
scripts=$(cd "$(dirname "$0")" && pwd)
plays=$(cd "$scripts/../../tests/ui/scripts" && pwd)

run() {  # build label cpus threads options...
    build=$1 label=$2 cpus=$3 threads=$4
    shift 4
    if [ -n "${TICKS-}" ]; then
        name=$(printf '%s' "$label" | tr -c 'A-Za-z0-9' '-' | tr -s '-')
        set -- "$@" --ticks "$TICKS/${name%-}-$rep.ticks"
    fi
    taskset -c "$cpus" "$build/bench/bench_stage_play" --data "${DATA:-$build/data}" --threads "$threads" \
        --mode 2 --label "$label" "$@"
}

cases() {  # build name cpus threads
    b=$1 n=$2 c=$3 t=$4
    if [ "${PLAYTHROUGH:-0}" != only ]; then
        run "$b" "$n stage 1" "$c" "$t" --stage 1 --frames 600 --skip 60
        run "$b" "$n arena of 50" "$c" "$t" --stage 2 --monsters 50 --hero-life 1:100000000 --frames 600 --skip 60
        run "$b" "$n boss stage 3" "$c" "$t" --stage 3 --frames 600 --skip 60
        run "$b" "$n road" "$c" "$t" --screen 7 --input "$scripts/road_to_stage.txt" --frames 800
        run "$b" "$n status page" "$c" "$t" --stage 1 --input "$scripts/pause_status.txt" --frames 400 --skip 60
    fi
    if [ "${PLAYTHROUGH:-0}" != 0 ]; then
        tree=$(mktemp -d)
        for entry in "${DATA:-$b/data}"/*; do
            [ "$(basename "$entry")" = SAVE ] || ln -s "$(realpath "$entry")" "$tree/$(basename "$entry")"
        done
        mkdir "$tree/SAVE"
        cp "${DATA:-$b/data}"/SAVE/*.SAV "$tree/SAVE/"
        shared=${DATA-}
        DATA=$tree
        run "$b" "$n play-through, new game" "$c" "$t" --fixed-step 32 --screen 7 --frames 3860 \
            --input "$plays/play_through_new_game.txt"
        run "$b" "$n play-through, from the road's save" "$c" "$t" --fixed-step 32 --screen 7 \
            --frames 4420 --input "$plays/play_through_from_save.txt"
        DATA=$shared
        rm -rf "$tree"
    fi
}

[ -z "${TICKS-}" ] || mkdir -p "$TICKS"
rep=1
while [ "$rep" -le "$repeats" ]; do
    echo "== repeat $rep, one core ($core)"
    cases "$base" base "$core" 1
    cases "$new" new "$core" 1
    rep=$((rep + 1))
done
[ "${PLAYTHROUGH:-0}" != only ] || exit 0
echo "== all cores"
rep=1
all=0-$(($(nproc) - 1))
for b in base new; do
    dir=$base
    [ "$b" = new ] && dir=$new
    run "$dir" "$b road, all cores" "$all" 0 --screen 7 --input "$scripts/road_to_stage.txt" --frames 800
    run "$dir" "$b arena of 50, all cores" "$all" 0 --stage 2 --monsters 50 --hero-life 1:100000000 \
        --frames 600 --skip 60
done
