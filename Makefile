# The two commands a newcomer needs: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
KW_WERROR ?= OFF
CMAKE_FLAGS ?=

# Measurements and checks beyond the tests, each in a build folder of its own.
BENCH_DIR ?= build-bench
BENCH_ARGS ?=
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = fuzz-profile fuzz-param fuzz-string-table fuzz-language-file fuzz-picture fuzz-xlsx fuzz-csv fuzz-xls-prescan
ASAN_DIR ?= build-asan
PACKAGE_DIR ?= build-package

.PHONY: all deps configure build run test screenshots bench bench-gui bench-build fuzz test-asan package format format-check clean

all: build

# Each command installs only what it needs (scripts/install-deps): `make run` what building and running
# need, `make build` and `make test` the test tools too, the checks beyond the tests everything.
DEPS_LEVEL ?= test
run: DEPS_LEVEL = run
screenshots bench bench-gui bench-build fuzz test-asan package format format-check: DEPS_LEVEL = ci

deps:
	@scripts/install-deps $(DEPS_LEVEL)

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKW_WERROR=$(KW_WERROR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

run: configure
	@cmake --build $(BUILD_DIR) --target kw_program
	$(BUILD_DIR)/bin/kitwright

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The README's pictures, docs/images/standard-view.png and table-view.png: the editor of $(BUILD_DIR) on a copy
# of the sample game, on a virtual display with a pinned font, in temporary folders.
screenshots: configure
	scripts/make-screenshots $(BUILD_DIR)

# Times load and save of generated game folders (scales 1, 10, 100), then the editor's main window on them
# (scales 10, 100) on the offscreen platform; BENCH_ARGS="--scales 1,10 --runs 3" goes to both.
# `make bench-gui` runs the window's part alone.
bench: bench-build
	$(BENCH_DIR)/bin/kitwright-bench $(BENCH_ARGS)
	QT_QPA_PLATFORM=offscreen $(BENCH_DIR)/bin/kitwright-gui-bench $(BENCH_ARGS)

bench-gui: bench-build
	QT_QPA_PLATFORM=offscreen $(BENCH_DIR)/bin/kitwright-gui-bench $(BENCH_ARGS)

bench-build: deps
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKW_BUILD_GUI=ON \
		-DKW_BUILD_TESTS=OFF -DKW_WERROR=$(KW_WERROR) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BENCH_DIR) --target kitwright-bench kitwright-gui-bench

# Runs every fuzz target, or those of FUZZ_TARGETS="fuzz-csv ...", for FUZZ_SECONDS each
# (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer).
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKW_BUILD_FUZZ=ON -DKW_BUILD_GUI=OFF -DKW_BUILD_BENCH=OFF -DKW_WERROR=$(KW_WERROR) >/dev/null
	@cmake --build $(FUZZ_DIR) --target $(FUZZ_TARGETS)
	fuzz/run $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The whole test suite, GUI tests included, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKW_SANITIZE=ON \
		-DKW_BUILD_BENCH=OFF -DKW_WERROR=$(KW_WERROR) >/dev/null
	@cmake --build $(ASAN_DIR)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j2

# The Debian package of the editor and the headless tool, optimized as the tested build is, with Debian's
# hardening flags; the .deb lands in $(PACKAGE_DIR).
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
# Dated by the last commit, so that two builds of one commit give the same bytes.
package: deps
	@SOURCE_DATE_EPOCH="$$(git log -1 --format=%ct 2>/dev/null || date +%s)" && export SOURCE_DATE_EPOCH && \
	CXXFLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" LDFLAGS="$$($(DEB_FLAGS) LDFLAGS)" \
		cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKW_BUILD_GUI=ON \
		-DKW_BUILD_TESTS=OFF -DKW_BUILD_BENCH=OFF -DKW_WERROR=$(KW_WERROR) $(CMAKE_FLAGS) >/dev/null && \
	cmake --build $(PACKAGE_DIR) --target package

# The style is .clang-format's; version 16 is pinned because older ones format differently and cannot
# insert braces.
CLANG_FORMAT ?= clang-format-16
FORMAT_FILES = $(shell find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)

format: deps
	@$(CLANG_FORMAT) -i $(FORMAT_FILES)

# Fails, naming each place, where a source differs from what `make format` would write.
format-check: deps
	@$(CLANG_FORMAT) --dry-run --Werror $(FORMAT_FILES)

# Every build folder the commands above make.
clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR) $(FUZZ_DIR) $(ASAN_DIR) $(PACKAGE_DIR)
