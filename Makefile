# Top-level commands. `make run` and `make test` work on a fresh machine:
# they install what is missing, configure, build, and then play or test.

BUILD_DIR      ?= build
ASAN_BUILD_DIR ?= build-asan
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=
# The game's options for `make run`: it starts at its warning screen; for
# example GAME_ARGS="--stage 1" starts the first stage at once.
GAME_ARGS      ?=

.PHONY: all deps configure build run test test-fast test-asan test-tsan bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Builds, makes the sample data, then starts the game.
run: build
	cmake --build $(BUILD_DIR) --target sample-data
	cd $(BUILD_DIR)/data && ../app/game $(GAME_ARGS)

# Every test: the normal build, then the sanitizer build.
test: test-fast test-asan

test-fast: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRW_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The sound and movie tests under ThreadSanitizer (opt-in, not part of `make test`).
TSAN_BUILD_DIR ?= build-tsan
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRW_TSAN=ON $(CMAKE_FLAGS)
	cmake --build $(TSAN_BUILD_DIR) -j $(JOBS) --target media_tsan_tests
	$(TSAN_BUILD_DIR)/tests/media_tsan_tests

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# The file readers' fuzz targets (clang, libFuzzer), opt-in and never part of
# `make test`. Each runs FUZZ_SECONDS (default 600) from a corpus seeded with
# the sample data tree; the first finding stops the run and leaves its input
# (crash-*, leak-*, timeout-*) in $(FUZZ_BUILD_DIR)/findings-TARGET.
# FUZZ_TARGETS picks some: make fuzz FUZZ_TARGETS="clump world" FUZZ_SECONDS=120
# The targets and what each reads:
#   clump world anim texdict  .DFF .BSP .ANM, texture dictionaries (engine)
#   bmp dds pitexd corechunks .BMP, .DDS, packs' dictionaries, core chunks
#   pack scene                 .LST/.STR packs; a scene's pack streamed and built
#   text                       fonts (.XBF) and message tables (.TCR)
#   event_table event_data     G_EVENT.EVT; .HTE .IGA .MIC .NPC .TEX .MSS .SUB
#   fx_files item_files        .ZUS .PSS .XDT .FXM .lit .BSH; .ICL .PBM .IDS .SAV
#   ui_texts                   WORD.TXT .NAM .STO .SKL EVENT.BGM
#   stage_files                .BSF .IAF .ATF .PAF .AMF .FSF .SFL
#   input_files movie          buttons.pref, input scripts, .WAV; movies
# RW_FUZZ_FREELISTS_OFF=1 runs the engine-only targets (bmp dds pitexd
# corechunks) with free lists off, so the sanitizers see into pooled records.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS   ?= 600
FUZZ_TARGETS   ?= clump world anim texdict pack text bmp dds pitexd corechunks event_table event_data scene fx_files item_files ui_texts stage_files input_files movie
FUZZ_JOBS      ?= 2
fuzz: build
	@bash scripts/install-deps.sh fuzz
	cmake --build $(BUILD_DIR) --target sample-data
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRW_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzz-targets
	@bash scripts/fuzz-seeds.sh $(BUILD_DIR)/data $(FUZZ_BUILD_DIR)
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_JOBS=$(FUZZ_JOBS) bash scripts/fuzz-run.sh $(FUZZ_BUILD_DIR) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR)
