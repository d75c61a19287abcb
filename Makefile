# SPDX-License-Identifier: GPL-3.0-or-later
# Front door: every target first installs what is missing (Debian packages).
# A build tree is configured once; after that CMake itself reconfigures when
# a CMakeLists.txt changes, and this file only when the presets do.
.PHONY: deps deps-web deps-test deps-bench web build test test-asan test-tsan fuzz soak bench package install run run-six \
        build-release check-options format po-template clean

deps:
	@./scripts/install-deps

# The browser tools are large: only the pages and the tests install them.
deps-web:
	@./scripts/install-deps web

deps-test:
	@./scripts/install-deps web browser

# The benchmark times the pages in WebKit too.
deps-bench:
	@./scripts/install-deps web browser webkit

build/%/build.ninja: CMakePresets.json | deps
	cmake --preset $*

build/web/build.ninja: CMakePresets.json | deps-web
	cmake --preset web

# build/web/sarvel11.html and sarvel6.html, each a page on its own.
web: build/web/build.ninja
	cmake --build --preset web

# One tree serves the tests and `make run`: after `make test` the programs
# are already built.
build: build/dev/build.ninja
	cmake --build --preset dev

# The pages first: the tests open them in Chromium.
test: deps-test build web
	ctest --preset dev

# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer,
# but the pages in Chromium; the install and package tests carry the pages,
# so they are built first.
test-asan: web build/asan/build.ninja
	cmake --build --preset asan
	ctest --preset asan

# The engine's and its frames' tests under ThreadSanitizer, without Qt (whose
# own libraries are not instrumented).
test-tsan: build/tsan/build.ninja
	cmake --build --preset tsan
	ctest --preset tsan

# libFuzzer, FUZZ_SECONDS for each target, from the seed corpus in fuzz/.
FUZZ_SECONDS ?= 60
fuzz:
	@./scripts/install-deps fuzz
	$(MAKE) build/fuzz/build.ninja
	cmake --build --preset fuzz
	./scripts/run-fuzz $(FUZZ_SECONDS)

# The long soak: a million frames of each edition.
soak: build-release
	SARVEL_SOAK_FRAMES=1000000 ./build/release/tests/soak_test

build-release: build/release/build.ninja
	cmake --build --preset release

# The Debian package, in build/release.
package: build-release web
	cd build/release && cpack -G DEB

# Installing may need root, building never does: under sudo the tree is
# built as the user who called it and the install's manifest handed back,
# so nothing in the tree belongs to root.
PREFIX ?= /usr/local
AS_CALLER := $(if $(SUDO_USER),sudo -u $(SUDO_USER),)
install: deps
	$(AS_CALLER) $(MAKE) build-release web
	cmake --install build/release --prefix $(PREFIX)
	$(if $(SUDO_UID),chown $(SUDO_UID):$(SUDO_GID) build/release/install_manifest.txt)

bench: build-release web deps-bench
	./build/release/bench/frame_bench
	/usr/bin/python3 bench/web_bench.py build/web

# ARGS go to the program, for example ARGS=--check.
run: build/dev/build.ninja
	@echo "Building sarvel11 (the first time: a few minutes)"
	cmake --build --preset dev --target sarvel11
	./build/dev/full/sarvel11 $(ARGS)

run-six: build/dev/build.ninja
	@echo "Building sarvel6 (the first time: a few minutes)"
	cmake --build --preset dev --target sarvel6
	./build/dev/six/sarvel6 $(ARGS)

# Every combination of the build options, each in its own tree (slow).
check-options: deps
	./scripts/check-build-options

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# The translators' template from the messages the programs hold, merged
# into every catalog (docs/translating.md).
po-template: build/dev/build.ninja
	cmake --build --preset dev --target catalog_template
	./build/dev/tests/catalog_template > po/sarvel.pot
	for po in po/*.po; do \
	  msgmerge --quiet --update --backup=none --no-fuzzy-matching "$$po" po/sarvel.pot; \
	done

clean:
	rm -rf build
