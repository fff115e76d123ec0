# Vario.tfe: make run builds the engine and tries it; make test runs every test.
BUILD ?= build
# make run DEF=my.def CAPTIONS=my-captions.txt tries your own files.
DEF ?= examples/vario.def
CAPTIONS ?= examples/captions.txt

.PHONY: all setup build run test bench dist clean

all: build

setup:
	@sh tools/setup.sh

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

test: build
	sh tools/run-tests.sh $(BUILD)

# The example needs only the engine and the console host, not the tests.
run: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target Vario vario-try
	@sh tools/wine-run.sh $(BUILD) "$(DEF)" "$(CAPTIONS)"

# How fast the engine converts and loads, beside a std::string reference.
bench: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target Vario vario_bench
	sh tools/wine-test.sh $(BUILD)/vario_bench.exe

# dist/Vario-<version>.zip for Windows users: the engine the tests ran
# against, the console host, the example file, the manual and checksums.
dist: build
	python3 tools/dist.py $(BUILD) dist

clean:
	rm -rf $(BUILD)
