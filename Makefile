# Vario.tfe: make run builds the engine and tries it; make test runs every test.
BUILD ?= build
# make run DEF=my.def CAPTIONS=my-captions.txt tries your own files;
# make check DEF=my.def EXPECTED=my-expected.txt checks the captions you expect;
# make coverage DEF=my.def CAPTIONS=my-captions.txt lists the rules that changed no caption;
# make record DEF=my.def CAPTIONS=my-captions.txt > my-expected.txt starts a
# file of expected captions. Given DEF, the other file must be given too.
DEF ?= examples/vario.def
CAPTIONS ?= examples/captions.txt
EXPECTED ?= examples/expected.txt

.PHONY: all help setup build run check coverage record test bench dist clean

all: build

help:
	@echo "make build     builds the engine, the console host and the tests into $(BUILD)/"
	@echo "make run       tries the engine on the example (DEF=my.def CAPTIONS=my-captions.txt:"
	@echo "               on yours) and prints each caption before and after"
	@echo "make check     checks the captions you expect (DEF=my.def EXPECTED=my-expected.txt)"
	@echo "make coverage  lists the rules that changed no caption (DEF=... CAPTIONS=...)"
	@echo "make record    writes a file of expected captions (DEF=... CAPTIONS=... > my-expected.txt)"
	@echo "make test      runs every test"
	@echo "make bench     measures how fast the engine converts and loads"
	@echo "make dist      writes the release archive for Windows users into dist/"
	@echo "make setup     installs what the build needs when it is missing"
	@echo "make clean     removes $(BUILD)/"

setup:
	@sh tools/setup.sh

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

test: build
	sh tools/run-tests.sh $(BUILD)

# The example needs only the engine and the console host, not the tests;
# wine-run.sh checks the files first and builds those two quietly. A
# variable's origin is "file" when it keeps the default above. UNUSED names
# the file variable given on the command line that the target does not read.
GIVEN = DEF_GIVEN=$(if $(filter file,$(origin DEF)),0,1)
RUN = sh tools/wine-run.sh $(BUILD) "$(DEF)"
CAPTIONS_RUN = $(GIVEN) FILE_GIVEN=$(if $(filter file,$(origin CAPTIONS)),0,1) \
	UNUSED=$(if $(filter command line,$(origin EXPECTED)),EXPECTED) $(RUN)

run: setup $(BUILD)/CMakeCache.txt
	@$(CAPTIONS_RUN) "$(CAPTIONS)"

check: setup $(BUILD)/CMakeCache.txt
	@$(GIVEN) FILE_GIVEN=$(if $(filter file,$(origin EXPECTED)),0,1) \
		UNUSED=$(if $(filter command line,$(origin CAPTIONS)),CAPTIONS) \
		$(RUN) --check "$(EXPECTED)"

coverage record: setup $(BUILD)/CMakeCache.txt
	@$(CAPTIONS_RUN) --$@ "$(CAPTIONS)"

# How fast the engine converts and loads, beside a std::string reference.
bench: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target Vario vario_bench
	sh tools/wine-test.sh $(BUILD)/vario_bench.exe

# dist/Vario-<version>.zip for Windows users: the engine and the console
# host built from this tree (only what ships: no test is built or run here,
# so run make test on the same commit first), the example file, the manual,
# the licence and checksums.
dist: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target Vario vario-try
	python3 tools/dist.py $(BUILD) dist

clean:
	rm -rf $(BUILD)
