# Vario.tfe: make run builds the engine and tries it; make test runs every test.
BUILD ?= build
# make run DEF=my.def CAPTIONS=my-captions.txt tries your own files.
DEF ?= examples/vario.def
CAPTIONS ?= examples/captions.txt

.PHONY: all setup build run test bench clean

all: build

setup:
	@sh tools/setup.sh

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

test: build
	sh tools/run-tests.sh $(BUILD)

run: build
	@sh tools/wine-run.sh $(BUILD) "$(DEF)" "$(CAPTIONS)"

# How fast the engine converts and loads, beside a std::string reference.
bench: build
	sh tools/wine-test.sh $(BUILD)/vario_bench.exe

clean:
	rm -rf $(BUILD)
