# make run   : install what is missing, build, start fanOrbiter
# make test  : install what is missing, build, run every test, then again
#              under AddressSanitizer + UndefinedBehaviorSanitizer, then the
#              Windows cross build's tests under Wine
# make test-linux   : the Linux tests only (both builds), for quick loops
# make test-windows : the Windows cross build and its tests under Wine
# make bench : build the benchmarks (and the tools they compare against)
# make check-format : every C++ source as .clang-format lays it out

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# fluid: FLTK's CMake package names /usr/bin/fluid among its targets and
# refuses to load without it, though libfltk1.3-dev only recommends it.
DEPS       := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev \
              libfltk1.3-dev fluid libx11-dev libxext-dev xvfb xauth \
              xfonts-base fonts-dejavu-core
BENCH_DEPS := libcairo2-dev ncdu gdu hyperfine strace
LINT_DEPS  := clang-format
WIN_BUILD  ?= build-win
WIN_DEPS   := cmake ninja-build g++-mingw-w64-x86-64-posix wine64 wine libgtest-dev libfltk1.3-dev

.PHONY: all deps bench-deps lint-deps check-format win-deps build build-asan build-windows test test-linux test-plain test-asan \
        test-windows run bench clean

all: build

define install_missing
	@missing=""; \
	for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(DEPS))

bench-deps: deps
	$(call install_missing,$(BENCH_DEPS))

lint-deps:
	$(call install_missing,$(LINT_DEPS))

win-deps:
	$(call install_missing,$(WIN_DEPS))

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(WIN_BUILD)/build.ninja:
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFAN_BUILD_BENCH=OFF

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFAN_SANITIZE=ON -DFAN_BUILD_BENCH=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-windows: win-deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)

# GUI tests need an X server: the whole run goes under a private Xvfb.
CTEST = xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" ctest --output-on-failure -j $(JOBS)

test-plain: build
	cd $(BUILD) && $(CTEST)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 $(CTEST)

test-linux: test-plain test-asan

test-windows: build-windows
	tests/win32/run_windows_tests.sh $(WIN_BUILD) -j $(JOBS)

check-format: lint-deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

test: check-format test-linux test-windows

run: build
	./$(BUILD)/app/fanorbiter $(ARGS)

bench: bench-deps $(BUILD)/build.ninja
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN_BUILD)

# The scan's listing threads under ThreadSanitizer: a core-only build of the
# core tests, running the scan cases alone (a few minutes less than all).
TSAN_BUILD ?= build-tsan
TSAN_TESTS := ParallelWalk*:ScanEngine*:ScanProgress*:LinuxDirectoryLister*

.PHONY: test-tsan clean-tsan

$(TSAN_BUILD)/build.ninja:
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFAN_CORE_ONLY=ON \
	      -DFAN_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread

test-tsan: deps $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target fan_core_tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./$(TSAN_BUILD)/tests/fan_core_tests \
	    --gtest_filter='$(TSAN_TESTS)' --gtest_brief=1

test: test-tsan

clean-tsan:
	rm -rf $(TSAN_BUILD)

clean: clean-tsan
