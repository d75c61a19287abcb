# Front door: every target first installs what is missing (Debian packages).
.PHONY: deps configure build test test-asan fuzz soak bench package install run run-six format clean

deps:
	@./scripts/install-deps

configure: deps
	cmake --preset dev

build: deps configure
	cmake --build --preset dev

test: build
	ctest --preset dev

# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# libFuzzer, FUZZ_SECONDS for each target, from the seed corpus in fuzz/.
FUZZ_SECONDS ?= 60
fuzz:
	@./scripts/install-deps fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	./scripts/run-fuzz $(FUZZ_SECONDS)

# The long soak: a million frames of each edition.
soak: build-release
	SARVEL_SOAK_FRAMES=1000000 ./build/release/tests/soak_test

build-release: deps
	cmake --preset release
	cmake --build --preset release

# The Debian package, in build/release.
package: build-release
	cd build/release && cpack -G DEB

# Both programs, menu entries, icon and metadata under PREFIX.
PREFIX ?= /usr/local
install: build-release
	cmake --install build/release --prefix $(PREFIX)

bench: build-release
	./build/release/bench/frame_bench

run: build-release
	./build/release/full/sarvel11

run-six: build-release
	./build/release/six/sarvel6

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
