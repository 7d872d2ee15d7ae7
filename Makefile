# make run: set up, build, and run the main job. make test: set up, build, and run every test.
BUILD := build
SANITIZE_BUILD := build-sanitize
WIN_BUILD := build-win
FUZZ_SECONDS ?= 30
DIST := $(BUILD)/dist
KBI := $(DIST)/desktop/kbi

.PHONY: all deps build run test unit-tests sanitizer-build sanitizer-tests fuzz bench win win-tests \
    gallery clean

all: build

deps:
	@sh scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DPENNAKEY_SANITIZE=OFF -DPENNAKEY_FUZZ=OFF -DPENNAKEY_BENCH=ON >/dev/null
	@cmake --build $(BUILD)

run: build
	@echo "== Shipped layouts =="
	@$(KBI) list $(DIST)/desktop
	@echo
	@echo "== The English layout =="
	@$(KBI) show English $(DIST)/desktop
	@echo
	@echo "== Converting the legacy samples =="
	@work=$$(mktemp -d) && cp layouts/legacy/pennini.* "$$work" && \
		(cd "$$work" && $(CURDIR)/$(DIST)/desktop/morvex) && \
		$(KBI) list "$$work" && rm -rf "$$work"
	@echo
	@echo "== Installing from the PC and typing on the emulated Pocket PC =="
	@rm -rf $(BUILD)/device $(BUILD)/pc && cat scripts/installation-session.txt \
		scripts/typing-session.txt | $(DIST)/pennakey-device --folder $(BUILD)/device \
		--desktop $(BUILD)/pc --install-distribution --stay --script -
	@echo "screenshots: $(BUILD)/install-*.png and $(BUILD)/typed.png"

unit-tests: build
	@ctest --test-dir $(BUILD) --output-on-failure -j2

sanitizer-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DPENNAKEY_SANITIZE=ON -DPENNAKEY_FUZZ=ON -DPENNAKEY_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE_BUILD)

sanitizer-tests: sanitizer-build
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j2 -LE fuzz

fuzz: sanitizer-build
	@FUZZ_SECONDS=$(FUZZ_SECONDS) sh scripts/run-fuzzers $(SANITIZE_BUILD)/fuzz

# The desktop programs as real Windows programs (mingw-w64), in $(WIN_BUILD)/dist.
win: deps
	@cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN_BUILD)

# The Windows programs run under Wine and compared with the Linux build.
win-tests: build win
	@sh scripts/run-wine-checks $(BUILD) $(WIN_BUILD)

# docs/layouts.md and its pictures, taken on the emulated device.
gallery: build
	@sh scripts/make-gallery $(BUILD)

bench: build
	@sh scripts/run-benchmarks $(BUILD)/bench

test: unit-tests sanitizer-tests fuzz win-tests
	@BENCH_MIN_TIME=0.01 sh scripts/run-benchmarks $(BUILD)/bench >/dev/null
	@echo "all tests passed"

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(WIN_BUILD)
