# Builds, runs and tests Quorvant. `make run` and `make test` install what they
# need first (Debian 12), so each works on a fresh machine by itself.

BUILD      := build
NATIVE     := $(BUILD)/native
NATIVE_SAN := $(BUILD)/native-sanitized
CROSS      := $(BUILD)/i686
CROSS64    := $(BUILD)/x86_64
ASSETS     := $(abspath $(NATIVE))/assets
JOBS       ?= $(shell nproc)

.PHONY: all deps native assets exe exe64 run dist test unit unit-sanitized e2e clean

all: exe

deps:
	@bash scripts/install-deps.sh

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

assets: native

exe: assets
	cmake -S . -B $(CROSS) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DQUORVANT_ASSET_DIR=$(ASSETS) >/dev/null
	cmake --build $(CROSS) -j $(JOBS)

# The same sources for 64-bit Windows: only for hosts whose kernel cannot run
# 32-bit programs, where Wine cannot start the i686 game.
exe64: assets
	cmake -S . -B $(CROSS64) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DQUORVANT_ASSET_DIR=$(ASSETS) >/dev/null
	cmake --build $(CROSS64) -j $(JOBS)

# Builds only the generator and the game, and keeps the build's and Wine's
# chatter in build/run.log; the script prints what it does and where things are.
run:
	@bash scripts/run.sh

# The release zip in build/dist/, built twice from clean exports of the last
# commit in two folders and refused unless the two come out byte for byte the same.
dist:
	@bash scripts/dist.sh

unit: native
	cd $(NATIVE) && ctest --output-on-failure

# The same unit tests under AddressSanitizer and UndefinedBehaviorSanitizer.
unit-sanitized: deps
	cmake -S . -B $(NATIVE_SAN) -DCMAKE_BUILD_TYPE=Debug -DQUORVANT_SANITIZE=ON >/dev/null
	cmake --build $(NATIVE_SAN) -j $(JOBS)
	cd $(NATIVE_SAN) && ctest --output-on-failure

e2e: exe
	@if ! bash scripts/wine-arch.sh --can-run-32; then $(MAKE) --no-print-directory exe64; fi
	@bash scripts/e2e.sh
	@bash scripts/audio-e2e.sh

# Start-up, idle cost, responsiveness, memory and size of the game beside its
# floor (its own window in its own loop) and Wine's Minesweeper; about twelve
# minutes, so not part of `make test`. Options: make bench BENCH_ARGS="--runs 3 --idle-seconds 10".
.PHONY: bench
bench: exe
	@if ! bash scripts/wine-arch.sh --can-run-32; then $(MAKE) --no-print-directory exe64; fi
	@bash scripts/bench.sh $(BENCH_ARGS)

test: unit unit-sanitized e2e

# Real captures of the X display: the board at start, with an offer waiting
# and more, in build/screenshots; the start board also becomes docs/board.png.
.PHONY: screenshots
screenshots: exe
	@if ! bash scripts/wine-arch.sh --can-run-32; then $(MAKE) --no-print-directory exe64; fi
	@bash scripts/screenshots.sh

# After an intended change of the artwork: the look checks' reference pictures
# made anew from the game, shown beside the committed ones before a commit.
.PHONY: references
references: exe
	@if ! bash scripts/wine-arch.sh --can-run-32; then $(MAKE) --no-print-directory exe64; fi
	@bash scripts/references.sh

# The long forms of the reliability groups, about 45 minutes: a 20-minute click
# storm, closings in every phase, 300 NEW GAMEs; prints their figures.
.PHONY: soak
soak: exe
	@if ! bash scripts/wine-arch.sh --can-run-32; then $(MAKE) --no-print-directory exe64; fi
	@E2E_TIME_LIMIT=4800 bash scripts/e2e.sh --timeout 4500 --soak-minutes 20 storm closing session

clean:
	rm -rf $(BUILD)
