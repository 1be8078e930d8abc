# make       installs what is missing, builds the player's download in dist/ (Kestova-<version>.zip
#            and its four files), and runs the demo with the real Kestova.dll under Wine
# make release  only the player's zip, dist/Kestova-<version>.zip
# make test  the whole test suite, native and under Wine, and the clang-cl (MSVC-mode) plugin
#            in Release and Debug checked with the Windows suite
# make fuzz  each fuzzer for FUZZ_SECONDS (default 30); nonzero on any finding
# make soak  10,000,000 randomized ticks natively and 1,000,000 with the real DLL under Wine
#            against the reference model, and 10,000 loads and unloads of each
# make lint  clang-format, cppcheck and clang-tidy, all clean
# make screenshots  pictures of KestovaCheck's console window as a player sees it, made under
#            Wine and Xvfb, into docs/: checker-ready.png and checker-taps.png
# make sanitize  the native suite under AddressSanitizer + UndefinedBehaviorSanitizer, then
#            under ThreadSanitizer
NATIVE := build/native
WINDOWS := build/mingw
WINE := env WINEPREFIX=$(CURDIR)/$(WINDOWS)/wine-prefix $(CURDIR)/scripts/wine

.PHONY: all deps native programs windows clang-cl dist release demo screenshots test sanitize fuzz
.PHONY: soak bench
.PHONY: format lint clean

all: demo

deps:
	@scripts/install-deps

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

# What the player's download and the demo need, and nothing else: the plugin, the checker, and
# kestova-sim.exe with the stand-in host it loads the plugin into.
programs: deps
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw --target Kestova KestovaCheck kestova-sim

# Everything for Windows, the test suite too, told where the native kestova-sim is to compare
# traces with.
windows: native
	@cmake --preset mingw -DKESTOVA_NATIVE_SIM=$(CURDIR)/$(NATIVE)/kestova-sim >/dev/null
	@cmake --build --preset mingw

# The MSVC-mode plugin, built as Visual Studio would; tested with the MinGW build's test program,
# in its Wine prefix.
clang-cl: windows
	@for preset in clang-cl clang-cl-debug; do \
	  cmake --preset $$preset -DKESTOVA_WINDOWS_TEST_DIR=$(CURDIR)/$(WINDOWS)/bin \
	    -DKESTOVA_WINE_PREFIX=$(CURDIR)/$(WINDOWS)/wine-prefix >/dev/null && \
	  cmake --build --preset $$preset || exit 1; \
	done

# dist/ holds the zip and what is in it, nothing else: never the stand-in ScriptHookVask.dll,
# which would replace the real host in a game folder.
dist: programs
	@rm -rf dist
	@scripts/make-release $(CURDIR) $(WINDOWS) dist >/dev/null
	@cd dist && unzip -q Kestova-*.zip

release: deps
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw --target Kestova KestovaCheck
	@rm -f dist/Kestova-*.zip
	@scripts/make-release $(CURDIR) $(WINDOWS) dist

demo: dist
	@$(WINE) wineboot --init 2>/dev/null
	@$(WINE) $(WINDOWS)/bin/kestova-sim.exe --plugin dist/Kestova.dll
	@env WINEPREFIX=$(CURDIR)/$(WINDOWS)/wine-prefix scripts/wine-stop
	@echo "dist/ is at $(CURDIR)/dist: $$(cd dist && ls Kestova-*.zip), the player's download," \
	  "and its four files"

# Its X tools, picture tools and console font are installed here only, not by every make.
screenshots:
	@scripts/install-deps xdotool imagemagick optipng fonts-dejavu-core
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw --target Kestova KestovaCheck ScriptHookVask
	@scripts/screenshots $(CURDIR) $(WINDOWS) docs

test: windows dist clang-cl
	@ctest --preset native -j2
	@ctest --preset mingw -j2
	@ctest --preset clang-cl -j2
	@ctest --preset clang-cl-debug -j2

sanitize: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --preset asan -j2
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --preset tsan -j2

soak: windows
	@$(NATIVE)/tests/kestova-soak --ticks 10000000 --loads 10000
	@$(WINE) wineboot --init 2>/dev/null
	@cd $(WINDOWS)/bin && $(WINE) kestova-soak.exe --ticks 1000000 --loads 10000
	@env WINEPREFIX=$(CURDIR)/$(WINDOWS)/wine-prefix scripts/wine-stop

# make bench  the plugin's tick against a replay of its host calls, the plugin's instructions
#            per tick under callgrind, kestova-sim's --json against its --trace, and the DLL's
#            size (MinGW and clang-cl); builds in build/bench, build/bench-mingw and
#            build/bench-clang-cl
bench: deps
	@cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTOVA_TESTS=OFF \
	  -DKESTOVA_BENCH=ON >/dev/null
	@cmake --build build/bench --target kestova_bench kestova-sim
	@cmake -S . -B build/bench-mingw -G Ninja --toolchain cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DKESTOVA_TESTS=OFF >/dev/null
	@cmake --build build/bench-mingw --target Kestova
	@cmake -S . -B build/bench-clang-cl -G Ninja --toolchain cmake/clang-cl.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DKESTOVA_TESTS=OFF >/dev/null
	@cmake --build build/bench-clang-cl --target Kestova
	@bench/run build/bench build/bench-mingw/bin/Kestova.dll build/bench-clang-cl/bin/Kestova.dll

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz --target fuzz_profile_reader fuzz_scenario fuzz_plugin \
	  fuzz_settings_check
	@scripts/fuzz build/fuzz $(CURDIR)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

lint: native
	@scripts/lint $(CURDIR) $(CURDIR)/$(NATIVE)

clean:
	rm -rf build dist
