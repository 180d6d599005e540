MAKEFLAGS += --no-print-directory
# Everyday commands. Each target installs what is missing first, so a fresh machine
# needs nothing but make.
JOBS ?= $(shell nproc)
CMAKE_WIN = cmake -S . -DCMAKE_BUILD_TYPE=Release -Wno-dev

FUZZ_SECONDS ?= 300
# How long `make bench` watches the idle program (60 s for the recorded results).
BENCH_IDLE_SECONDS ?= 60

.PHONY: all setup build build-win32 build-win64 build-host build-fuzz test unit-test wine-test \
        fuzz fuzz-smoke bench soak run dist screenshots format clean

all: build

setup:
	@scripts/setup.sh

build: setup build-win32 build-win64

build-win32:
	@$(CMAKE_WIN) -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake >/dev/null
	@cmake --build build/win32 -j $(JOBS)

build-win64:
	@$(CMAKE_WIN) -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake >/dev/null
	@cmake --build build/win64 -j $(JOBS)

build-host:
	@cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug -Wno-dev >/dev/null
	@cmake --build build/host -j $(JOBS)
	@cmake -S . -B build/host-san -DCMAKE_BUILD_TYPE=Debug -DZV_SANITIZE=ON -Wno-dev >/dev/null
	@cmake --build build/host-san -j $(JOBS)

unit-test: setup build-host
	@cd build/host && ctest --output-on-failure --timeout 60
	@cd build/host-san && ctest --output-on-failure --timeout 120

build-fuzz:
	@cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DZV_FUZZ=ON -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -Wno-dev >/dev/null
	@cmake --build build/fuzz -j $(JOBS) --target fuzz_logic

fuzz: setup build-fuzz
	@mkdir -p build/fuzz/corpus
	@build/fuzz/fuzz_logic -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
		-artifact_prefix=build/fuzz/ build/fuzz/corpus

# One line when all is well; a crash fails the run and shows the fuzzer's report.
fuzz-smoke: setup build-fuzz
	@mkdir -p build/fuzz/corpus
	@build/fuzz/fuzz_logic -max_total_time=20 -artifact_prefix=build/fuzz/ build/fuzz/corpus \
		>build/fuzz/smoke.log 2>&1 || { tail -n 40 build/fuzz/smoke.log; exit 1; }
	@tail -n 1 build/fuzz/smoke.log

wine-test: setup build
	@scripts/wine-tests.sh

test: unit-test fuzz-smoke wine-test

# Size, tick cost, idle cost, start-up and the logic's micro-benchmarks; writes
# bench/RESULTS.md. Never part of `make test`.
bench: setup build-win32 build-win64
	@BENCH_IDLE_SECONDS=$(BENCH_IDLE_SECONDS) bench/run.sh

# The long forms of the stability and garbled-settings tests: 10,000 ticks at the shortest
# period and 200 garbled settings files, per build (a few minutes). Never part of `make test`.
soak: setup build
	@ZV_SOAK_TICKS=10000 ZV_SOAK_INIS=200 \
		ZV_CTEST_ARGS="-R StabilityE2E|GarbledSettings --timeout 900" scripts/wine-tests.sh

run: setup build
	@scripts/run.sh

# The release packages dist/zembrovale-<version>-win32.zip and -win64.zip, and their
# SHA256SUMS, which `sha256sum -c SHA256SUMS` checks in dist/.
dist: setup build
	@rm -f dist/*.zip dist/SHA256SUMS
	@scripts/package.sh build/win32/zembrovale.exe dist >/dev/null
	@scripts/package.sh build/win64/zembrovale.exe dist >/dev/null
	@cd dist && sha256sum *.zip >SHA256SUMS && cat SHA256SUMS

# The user guide's pictures (docs/*.png), taken from the program under Wine and Xvfb.
screenshots: setup build
	@scripts/screenshots.sh

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf build dist
