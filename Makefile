# Front door: every target first installs what is missing (Debian packages).
.PHONY: deps configure build test bench run run-six format clean

deps:
	@./scripts/install-deps

configure: deps
	cmake --preset dev

build: deps configure
	cmake --build --preset dev

test: build
	ctest --preset dev

build-release: deps
	cmake --preset release
	cmake --build --preset release

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
