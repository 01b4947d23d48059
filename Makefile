# Entry points for a fresh Debian 12 machine.
BUILD_DIR ?= build
SANITIZE_BUILD_DIR ?= build-sanitize
JOBS ?= $(shell nproc)
# Tests run headless; the text recognition engine's thread pool reads its limit when the
# program is loaded, so it is given here rather than by the tests.
TEST_ENV := QT_QPA_PLATFORM=offscreen OMP_THREAD_LIMIT=1 TZ=UTC
CMAKE_FLAGS ?=

# Every sanitizer finding fails the test: ASan stops at the first error, UBSan prints a
# stack and stops (the code is built with -fno-sanitize-recover), LeakSanitizer reports
# leaks at exit.
SANITIZE_ENV := \
	ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:print_stacktrace=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp

# libFuzzer targets over the readers of outside data (fuzz/): clang, ASan, UBSan.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_QUICK_SECONDS ?= 20
# Seconds one input may take. The short CI run allows more, so a stall of a busy machine
# is not taken for a hang; the long runs hold inputs to one second.
FUZZ_TIMEOUT ?= 1
FUZZ_QUICK_TIMEOUT ?= 10
# Targets run side by side, at most this many at once.
FUZZ_JOBS ?= $(shell n=$$(nproc); echo $$((n < 4 ? n : 4)))
FUZZ_TARGETS ?= document clipboard forwarded_arguments history_png image package svg_path

.PHONY: deps configure build run install test test-desktop bench format test-sanitize fuzz-build fuzz fuzz-quick fuzz-seeds clean

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Starts the program in the current X session (XWayland under Wayland): its icon goes
# into the system tray. A second `make run` while it runs hands over to it and ends.
run: build
	@test -n "$$DISPLAY" || { echo "make run needs a desktop session (DISPLAY is not set)." >&2; exit 2; }
	$(BUILD_DIR)/src/vorlix

# Installs the program, its desktop entry, icon and project file type under PREFIX (the
# user's ~/.local unless given) and tells the desktop: `xdg-open vorlix://capture/area`
# then reaches the running program.
PREFIX ?= $(HOME)/.local
install: build
	cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"
	-command -v update-mime-database >/dev/null && update-mime-database "$(PREFIX)/share/mime"
	-command -v update-desktop-database >/dev/null && update-desktop-database -q "$(PREFIX)/share/applications"
	-command -v xdg-mime >/dev/null && xdg-mime default org.vorlix.Vorlix.desktop x-scheme-handler/vorlix

test: build
	cd $(BUILD_DIR) && $(TEST_ENV) ctest --output-on-failure -j $(JOBS)

# Only the tests that run on private X servers (Xvfb, started and stopped by each test).
test-desktop: build
	cd $(BUILD_DIR) && $(TEST_ENV) ctest -L '^desktop$$' --output-on-failure -j $(JOBS)

# Lays out every C++ file as .clang-format says; the ctest `format` checks it.
format:
	git ls-files '*.h' '*.cpp' | xargs clang-format-14 -i

bench: build
	for b in $(BUILD_DIR)/bench/*_bench; do $(TEST_ENV) $$b || exit 1; done

# The sanitizer and fuzz builds keep only line tables: enough for their stack traces, and
# the full debug information was a large part of their build time. The sanitizers' own
# advice is light optimisation, which also builds faster.
LINE_TABLES_FLAGS := -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
SANITIZER_BUILD_FLAGS := -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"

# The core libraries and their tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DVORLIX_SANITIZE=ON $(SANITIZER_BUILD_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD_DIR) --target core_tests -j $(JOBS)
	cd $(SANITIZE_BUILD_DIR) && $(SANITIZE_ENV) $(TEST_ENV) \
		ctest -L '^core$$' --output-on-failure -j $(JOBS)

fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++-14 -DVORLIX_FUZZ=ON $(SANITIZER_BUILD_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS)) fuzz_seeds

# Each target for FUZZ_SECONDS on its corpus; fails on the first crash, hang or memory fault.
fuzz: fuzz-build
	FUZZ_TIMEOUT=$(FUZZ_TIMEOUT) ./fuzz/run $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS) $(FUZZ_JOBS) $(FUZZ_TARGETS)

# The short run CI makes after the sanitizer tests.
fuzz-quick: fuzz-build
	FUZZ_TIMEOUT=$(FUZZ_QUICK_TIMEOUT) ./fuzz/run $(FUZZ_BUILD_DIR) $(FUZZ_QUICK_SECONDS) $(FUZZ_JOBS) $(FUZZ_TARGETS)

# Writes fuzz/corpus again with our own writers.
fuzz-seeds: fuzz-build
	rm -rf fuzz/corpus
	ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen $(FUZZ_BUILD_DIR)/fuzz/fuzz_seeds fuzz/corpus

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR) $(FUZZ_BUILD_DIR)
