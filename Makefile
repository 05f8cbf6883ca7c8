# make        install missing Debian packages (as root), configure and build into build/
# make test   build and run the whole suite (and the fuzzers, briefly, where clang is present)
# make demo   build, then run the demonstration job on the embedded engine (and, where there is a
#             display, open the main window on its database)
# make sanitize   build and run the suite under AddressSanitizer + UndefinedBehaviorSanitizer
# make tsan   build and run the tests of the threads and of the overlapped engines under ThreadSanitizer
# make bench  build and run the benchmarks
# make package  build, then the Debian package build/tabrook_<version>_<arch>.deb (CPack)

BUILD    ?= build
FUZZ_BUILD ?= build-fuzz
SAN_BUILD  ?= build-san
TSAN_BUILD ?= build-tsan
JOBS     ?= $(shell nproc)
CMAKE_FLAGS ?=

# What building needs; what the tests, the fuzzers and the benchmarks need on top of it.
# A Japanese font comes with the program so its captions and data never show as boxes, and Qt's
# translations so its standard buttons and dialogs speak Japanese too. The desktop test drives
# the real program on a virtual X server (xvfb) with a small window manager (openbox), xdotool
# and scrot for its screenshots; locales lets a test compile a Japanese locale of its own.
PACKAGES := build-essential cmake ninja-build pkg-config \
            qt6-base-dev qt6-translations-l10n libsqlite3-dev libboost-dev libsodium-dev libicu-dev libedit-dev \
            fonts-noto-cjk
TEST_PACKAGES := libgtest-dev libgmock-dev python3 sqlite3 dpkg-dev xvfb openbox xdotool scrot locales
FUZZ_PACKAGES := clang libclang-rt-14-dev
BENCH_PACKAGES := libbenchmark-dev sqlite3 python3

.PHONY: all deps test-deps fuzz-deps bench-deps configure build test fuzz sanitize tsan demo bench package clean

all: build

deps:
	@$(MAKE) --no-print-directory install-packages WANTED="$(PACKAGES)"
test-deps:
	@$(MAKE) --no-print-directory install-packages WANTED="$(PACKAGES) $(TEST_PACKAGES) $(FUZZ_PACKAGES)"
bench-deps:
	@$(MAKE) --no-print-directory install-packages WANTED="$(PACKAGES) $(BENCH_PACKAGES)"

.PHONY: install-packages
install-packages:
	@missing=$$(for p in $(WANTED); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	  else \
	    echo "Missing Debian packages (install them as root): $$missing"; exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

test: test-deps
	cmake -S . -B $(BUILD) -G Ninja -DTABROOK_TESTS=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	@if command -v clang++ >/dev/null 2>&1; then $(MAKE) --no-print-directory fuzz; else echo "clang not found: fuzzers skipped"; fi

fuzz: test-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DTABROOK_FUZZ=ON -DTABROOK_TESTS=ON -DTABROOK_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	cd $(FUZZ_BUILD) && ctest --output-on-failure -L fuzz -j $(JOBS)

sanitize: test-deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DTABROOK_SANITIZE=ON -DTABROOK_TESTS=ON -DTABROOK_BENCH=OFF
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS) -LE fuzz --timeout 1200

# The transfer thread and its progress sink read by another thread: the tests where two threads
# share data. (The end-to-end runs start the console with fork() while the worker thread lives,
# which ThreadSanitizer does not follow: it reports the worker's own locked accesses as races.)
tsan: test-deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DTABROOK_TSAN=ON -DTABROOK_TESTS=ON -DTABROOK_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target thread_tests engine_tests
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure \
	  -R 'TransferProgress|TOracle|TThreadEx|ImportBatchDiff|ExportRows|ExportTest|ExportRoundTrips' --timeout 1200

demo: build
	@if [ -x scripts/demo.sh ]; then scripts/demo.sh $(BUILD); else echo "make demo: not available yet (the transfer engines are not built yet)"; fi

bench: bench-deps
	cmake -S . -B $(BUILD) -G Ninja -DTABROOK_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	@if [ -x scripts/bench.sh ]; then scripts/bench.sh $(BUILD); else echo "no benchmarks yet"; fi

package: build
	cd $(BUILD) && cpack -G DEB
	@ls -1 $(BUILD)/tabrook_*.deb

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(SAN_BUILD)
