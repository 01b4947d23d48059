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
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: deps configure build test bench test-sanitize clean

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && $(TEST_ENV) ctest --output-on-failure -j $(JOBS)

bench: build
	for b in $(BUILD_DIR)/bench/*_bench; do $(TEST_ENV) $$b || exit 1; done

# The core libraries and their tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DVORLIX_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD_DIR) --target core_tests -j $(JOBS)
	cd $(SANITIZE_BUILD_DIR) && $(SANITIZE_ENV) $(TEST_ENV) \
		ctest -L '^core$$' --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR)
