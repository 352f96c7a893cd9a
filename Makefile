# Zantor Editor: `make run` starts the editor, `make test` runs every test.
# Both install the Debian packages they need first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps build test run test-sanitize test-windows screenshots bench fuzz format clean

all: build

deps:
	@./tools/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	./$(BUILD)/zantor_editor

# Renders the windows offscreen into docs/screenshots: every test named
# test_screenshots_* writes its pictures there.
screenshots: build
	mkdir -p docs/screenshots
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ZANTOR_SCREENSHOT_DIR=$(CURDIR)/docs/screenshots \
	    ctest --output-on-failure -L screenshots

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	@ZANTOR_EXTRA_PACKAGES="clang libclang-rt-14-dev" ./tools/install-deps
	cmake -S . -B build-sanitize -DZANTOR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
	      -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    ctest --output-on-failure -j $(JOBS)

# The windowless core and every core test cross-built for 64-bit Windows
# (MinGW-w64, static runtime; TinyXML from Debian's patched sources, GoogleTest
# from Debian's), run under Wine in a fresh prefix. No window can open: there
# is no display, and Wine's .NET and browser installers are turned off. Wine
# gives Windows names to Linux files in the locale's encoding, so a UTF-8
# locale lets names with bytes above 0x7F through.
WINDOWS_BUILD = build-windows
WINE_ENV = env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wine WINEDEBUG=-all \
	WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
test-windows:
	@ZANTOR_EXTRA_PACKAGES="g++-mingw-w64-x86-64-posix wine64 dpkg-dev" ./tools/install-deps
	./tools/tinyxml-source $(WINDOWS_BUILD)/tinyxml
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DZANTOR_GUI=OFF \
	      -DZANTOR_TINYXML_SOURCE=$(CURDIR)/$(WINDOWS_BUILD)/tinyxml/tinyxml-2.6.2 \
	      -DZANTOR_GTEST_SOURCE=/usr/src/googletest
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	rm -rf $(WINDOWS_BUILD)/wine
	$(WINE_ENV) /usr/lib/wine/wine64 wineboot --init
	cd $(WINDOWS_BUILD) && $(WINE_ENV) ctest --output-on-failure -j $(JOBS); status=$$?; \
	    $(WINE_ENV) /usr/lib/wine/wineserver --wait; exit $$status

# Benchmarks: a Release build that prints each measure against its floor.
bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZANTOR_BENCH=ON -DZANTOR_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ./build-bench/bench/zantor_bench

# Fuzzing the load-complete-save-reload road for SECONDS seconds. The seeds
# in fuzz/corpus are only read; what the fuzzer adds goes to build-fuzz/corpus,
# and a finding to build-fuzz/findings/, which fails the run.
SECONDS ?= 60
FUZZ_OPTIONS ?=
fuzz:
	@ZANTOR_EXTRA_PACKAGES="clang libclang-rt-14-dev" ./tools/install-deps
	cmake -S . -B build-fuzz -DZANTOR_FUZZ=ON -DZANTOR_GUI=OFF -DZANTOR_TESTS=OFF \
	      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS)
	mkdir -p build-fuzz/corpus build-fuzz/findings
	./build-fuzz/fuzz/zantor_fuzz -max_total_time=$(SECONDS) -max_len=16384 -timeout=10 \
	    -dict=fuzz/settings.dict -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 \
	    $(FUZZ_OPTIONS) build-fuzz/corpus fuzz/corpus

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-sanitize build-windows build-bench build-fuzz
