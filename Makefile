# Vario.tfe: make run builds the engine and tries it; make test runs every test.
BUILD ?= build
# make run DEF=my.def CAPTIONS=my-captions.txt tries your own files;
# make check DEF=my.def EXPECTED=my-expected.txt checks the captions you expect;
# make coverage DEF=my.def CAPTIONS=my-captions.txt lists the rules that never fire.
DEF ?= examples/vario.def
CAPTIONS ?= examples/captions.txt
EXPECTED ?= examples/expected.txt

.PHONY: all setup build host run check coverage test bench dist clean

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
host: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target Vario vario-try

run: host
	@sh tools/wine-run.sh $(BUILD) "$(DEF)" "$(CAPTIONS)"

check: host
	@sh tools/wine-run.sh $(BUILD) "$(DEF)" --check "$(EXPECTED)"

coverage: host
	@sh tools/wine-run.sh $(BUILD) "$(DEF)" --coverage "$(CAPTIONS)"

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
