# make       installs what is missing, builds the plugin package in dist/, and runs the demo
#            with the real Kestova.dll under Wine
# make test  the whole test suite, native and under Wine
NATIVE := build/native
WINDOWS := build/mingw
WINE := env WINEPREFIX=$(CURDIR)/$(WINDOWS)/wine-prefix scripts/wine

.PHONY: all deps native windows dist demo test format clean

all: demo

deps:
	@scripts/install-deps

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

windows: native
	@cmake --preset mingw -DKESTOVA_NATIVE_SIM=$(CURDIR)/$(NATIVE)/kestova-sim >/dev/null
	@cmake --build --preset mingw

dist: windows
	@mkdir -p dist
	@cp $(WINDOWS)/bin/Kestova.dll dist/Kestova.dll
	@cp package/Kestova.ini dist/Kestova.ini

demo: dist
	@$(WINE) wineboot --init 2>/dev/null
	@$(WINE) $(WINDOWS)/bin/kestova-sim.exe --plugin dist/Kestova.dll
	@env WINEPREFIX=$(CURDIR)/$(WINDOWS)/wine-prefix scripts/wine-stop
	@echo "dist/ is at $(CURDIR)/dist: Kestova.dll and Kestova.ini, ready for a game folder"

test: dist
	@ctest --preset native -j2
	@ctest --preset mingw -j2

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
