# Zantor Editor: `make run` starts the editor, `make test` runs every test.
# Both install the Debian packages they need first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps build test run test-sanitize deb windows-deps windows test-windows screenshots bench fuzz format clean

all: build

deps:
	@./tools/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j $(JOBS)

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
	    ctest --output-on-failure --timeout 600 -j $(JOBS)

# The Debian package: build-deb/zantor-editor_VERSION_amd64.deb, a Release
# build (cmake/debian-package.cmake) with its dependencies found by
# dpkg-shlibdeps, then checked by tests/desktop/check_deb.sh: its files and
# dependencies, the desktop entry, the AppStream metadata and the manual
# page. Installing it on a fresh Debian 12 and removing it again is
# tests/desktop/deb_install.sh, for a throw-away system only:
#   ../shared/tools/fresh-debian-run 'make deb && apt-get purge -y -qq libqt6widgets6 libtinyxml2.6.2v5 &&
#       tests/desktop/deb_install.sh build-deb/zantor-editor_*_amd64.deb'
DEB_PACKAGES = help2man file dpkg-dev desktop-file-utils appstream man-db
deb:
	@ZANTOR_EXTRA_PACKAGES="$(DEB_PACKAGES)" ./tools/install-deps
	cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DZANTOR_TESTS=OFF -DZANTOR_DEB=ON
	cmake --build build-deb -j $(JOBS)
	rm -f build-deb/zantor-editor_*.deb && cd build-deb && cpack -G DEB
	tests/desktop/check_deb.sh build-deb/zantor-editor_*_amd64.deb

# Windows: the editor, the fleet tool and every test cross-built for 64-bit
# Windows with MinGW-w64 and a static Qt built from Debian's own source
# (tools/windows-qt, cached outside the work tree; ZANTOR_QT_WINDOWS names
# another Qt build), TinyXML, zlib, minizip and libxlsxwriter from Debian's
# patched sources and GoogleTest from Debian's.
WINDOWS_BUILD = build-windows
WINDOWS_PACKAGES = g++-mingw-w64-x86-64-posix wine64 dpkg-dev ninja-build perl imagemagick \
	fonts-wine fonts-liberation xauth unzip xz-utils wixl
ZANTOR_QT_WINDOWS ?=
WINDOWS_QT = $(or $(ZANTOR_QT_WINDOWS),$(shell ./tools/windows-qt --prefix))
WINDOWS_CMAKE = -DCMAKE_TOOLCHAIN_FILE=$(WINDOWS_QT)/lib/cmake/Qt6/qt.toolchain.cmake \
	-DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	-DZANTOR_TINYXML_SOURCE=$(CURDIR)/$(WINDOWS_BUILD)/tinyxml/tinyxml-2.6.2 \
	-DZANTOR_WORKBOOK_SOURCES=$(CURDIR)/$(WINDOWS_BUILD)/workbook
windows-deps:
	@ZANTOR_EXTRA_PACKAGES="$(WINDOWS_PACKAGES)" ./tools/install-deps
	./tools/tinyxml-source $(WINDOWS_BUILD)/tinyxml
	./tools/workbook-sources $(WINDOWS_BUILD)/workbook
	[ -n "$(ZANTOR_QT_WINDOWS)" ] || ./tools/windows-qt >/dev/null

# What to hand out: the zip, build-windows-release/zantor-editor-VERSION-win64.zip,
# and the Windows Installer package of the same files beside it,
# zantor-editor-VERSION-x64.msi (packaging/windows/build-msi.sh, with wixl).
windows: windows-deps
	cmake -S . -B build-windows-release $(WINDOWS_CMAKE) -DCMAKE_BUILD_TYPE=Release -DZANTOR_TESTS=OFF
	cmake --build build-windows-release -j $(JOBS)
	cd build-windows-release && cpack -G ZIP
	packaging/windows/build-msi.sh build-windows-release

# Every test built for Windows and run under Wine in a fresh prefix, the
# window tests offscreen: Wine still needs an X server for the message
# window Qt's event loop uses, so the run has a private one. Wine gives
# Windows names to Linux files in the locale's encoding, so a UTF-8 locale
# lets names with bytes above 0x7F through. Wine's crash dialog is off, so a
# test that crashes fails at once instead of waiting for its time-out.
WINE_ENV = env -u WAYLAND_DISPLAY WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wine WINEDEBUG=-all \
	WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
#
# Then the zip, unpacked, is checked (tests/desktop/check_windows_zip.sh: the
# READ-ME in CR LF lines, both programs with their application manifest),
# then the MSI in a Wine prefix of its own (tests/desktop/check_windows_msi.sh:
# silent installation, the zip's files, shortcut, uninstall entry and "Open
# with" keys, both programs started from where it put them, removal, and an
# upgrade over an older version), and the zip's editor, alone in that
# folder, goes through an operator's session on its own X server with a window manager
# (tests/desktop/editor_session.sh, as the Linux editor does in `make test`),
# with a Windows program holding the settings file for a while; its picture
# of the main window is $(WINDOWS_BUILD)/windows-main.png, of the station
# dialog $(WINDOWS_BUILD)/windows-main-station.png.
WINDOWS_UNZIPPED = $(WINDOWS_BUILD)/unzipped
test-windows: windows
	cmake -S . -B $(WINDOWS_BUILD) $(WINDOWS_CMAKE) -DZANTOR_GTEST_SOURCE=/usr/src/googletest
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	rm -rf $(WINDOWS_BUILD)/wine
	$(WINE_ENV) /usr/lib/wine/wine64 wineboot --init
	$(WINE_ENV) /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
	cd $(WINDOWS_BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" $(WINE_ENV) ctest --output-on-failure --timeout 600 -j $(JOBS); \
	    status=$$?; $(WINE_ENV) /usr/lib/wine/wineserver --wait; exit $$status
	rm -rf $(WINDOWS_UNZIPPED) && unzip -q build-windows-release/zantor-editor-*-win64.zip -d $(WINDOWS_UNZIPPED)
	tests/desktop/check_windows_zip.sh $(WINDOWS_UNZIPPED)
	$(WINE_ENV) tests/desktop/check_windows_msi.sh build-windows-release $(WINDOWS_UNZIPPED)
	$(WINE_ENV) HOLD_FILE="/usr/lib/wine/wine64 $(CURDIR)/$(WINDOWS_BUILD)/tests/hold_file.exe" \
	    tests/desktop/editor_session.sh --windows --screenshot $(WINDOWS_BUILD)/windows-main.png \
	    tests/desktop/etang_after_session.xml /usr/lib/wine/wine64 $(CURDIR)/$(WINDOWS_UNZIPPED)/*/zantor_editor.exe; \
	    status=$$?; $(WINE_ENV) /usr/lib/wine/wineserver --wait; exit $$status

# Benchmarks: a Release build that prints each measure against its floor.
# The start-up of the Windows editor is measured under Wine, on a private X
# server, in a prefix of its own, and so is its Open of the largest fleet
# again (offscreen, the fleet read through Wine's drive Z:), against the
# Linux editor's in the same run.
bench: deps windows-deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZANTOR_BENCH=ON -DZANTOR_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	cmake -S . -B build-windows-bench $(WINDOWS_CMAKE) -DCMAKE_BUILD_TYPE=Release -DZANTOR_BENCH=ON -DZANTOR_TESTS=OFF
	cmake --build build-windows-bench -j $(JOBS) --target zantor_bench_windows_startup
	rm -rf build-windows-bench/wine
	$(BENCH_WINE_ENV) /usr/lib/wine/wine64 wineboot --init
	$(BENCH_WINE_ENV) QT_QPA_PLATFORM=offscreen xvfb-run -a -s "-screen 0 1280x1024x24" ./build-bench/bench/zantor_bench \
	    --windows-startup $(CURDIR)/build-windows-bench/bench/zantor_bench_windows_startup.exe; \
	    status=$$?; $(BENCH_WINE_ENV) /usr/lib/wine/wineserver --wait; exit $$status
BENCH_WINE_ENV = $(subst $(WINDOWS_BUILD)/wine,build-windows-bench/wine,$(WINE_ENV))

# Fuzzing for SECONDS seconds in all: two thirds on the load-complete-save-
# reload road of a settings file, a third on the import's reading of a
# workbook. The seeds in fuzz/corpus and fuzz/workbook_corpus are only read;
# what the fuzzer adds goes to build-fuzz/corpus and build-fuzz/workbook_corpus,
# and a finding to build-fuzz/findings/, which fails the run.
SECONDS ?= 60
FUZZ_OPTIONS ?=
# Each fuzzer runs for at least a second: libFuzzer takes 0 for "no limit".
at_least_one = $(shell n=$$(( $(1) )); echo $$(( n > 0 ? n : 1 )))
WORKBOOK_SECONDS = $(call at_least_one,$(SECONDS) / 3)
SETTINGS_SECONDS = $(call at_least_one,$(SECONDS) - $(WORKBOOK_SECONDS))
fuzz:
	@ZANTOR_EXTRA_PACKAGES="clang libclang-rt-14-dev" ./tools/install-deps
	cmake -S . -B build-fuzz -DZANTOR_FUZZ=ON -DZANTOR_GUI=OFF -DZANTOR_TESTS=OFF \
	      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS)
	mkdir -p build-fuzz/corpus build-fuzz/workbook_corpus build-fuzz/findings
	./build-fuzz/fuzz/zantor_fuzz -max_total_time=$(SETTINGS_SECONDS) -max_len=16384 -timeout=10 \
	    -dict=fuzz/settings.dict -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 \
	    $(FUZZ_OPTIONS) build-fuzz/corpus fuzz/corpus
	./build-fuzz/fuzz/zantor_fuzz_workbook -max_total_time=$(WORKBOOK_SECONDS) -max_len=16384 -timeout=10 \
	    -dict=fuzz/workbook.dict -artifact_prefix=build-fuzz/findings/workbook- -print_final_stats=1 \
	    $(FUZZ_OPTIONS) build-fuzz/workbook_corpus fuzz/workbook_corpus

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-sanitize build-deb build-windows build-windows-release build-bench build-windows-bench build-fuzz
