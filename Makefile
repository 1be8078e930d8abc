# make       installs what is missing, builds, and runs the demo in the simulator
# make test  the whole test suite
BUILD := build/native

.PHONY: all deps build demo test format clean

all: demo

deps:
	@scripts/install-deps

build: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

demo: build
	@$(BUILD)/kestova-sim

test: build
	@ctest --preset native -j2

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
