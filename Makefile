# make run   : install what is missing, build, start fanOrbiter
# make test  : install what is missing, build, run every test, then again
#              under AddressSanitizer + UndefinedBehaviorSanitizer, then the
#              Windows cross build's tests under Wine
# make test-linux   : the Linux tests only (both builds), for quick loops
# make test-windows : the Windows cross build and its tests under Wine
# make bench : build the benchmarks (and the tools they compare against)
# make check-format : every C++ source as .clang-format lays it out
# make lint  : clang-tidy's fault-finding checks (.clang-tidy) over the program's sources
# make test-unprivileged : the Trash and settings tests again as an ordinary user

BUILD      ?= build
TEST_BUILD ?= build-test
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# fluid: FLTK's CMake package names /usr/bin/fluid among its targets and
# refuses to load without it, though libfltk1.3-dev only recommends it.
DEPS       := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev \
              libfltk1.3-dev fluid libx11-dev libxext-dev xvfb xauth \
              xfonts-base fonts-dejavu-core libpng-dev libpixman-1-dev desktop-file-utils
BENCH_DEPS := libcairo2-dev ncdu gdu hyperfine strace
LINT_DEPS  := clang-format clang-tidy
WIN_BUILD  ?= build-win
WIN_DEPS   := cmake ninja-build g++-mingw-w64-x86-64-posix wine64 wine libgtest-dev libfltk1.3-dev \
              libpixman-1-dev

.PHONY: all deps bench-deps lint-deps check-format check-desktop-entry lint win-deps build build-test build-asan \
        build-windows test test-linux test-plain test-asan \
        test-windows run bench clean

all: build

# A package removed but not purged still answers `dpkg -s`: only the
# installed state counts.
define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
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

# The build `make run` starts: warnings stay warnings, as in a packager's.
$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The test builds treat warnings as errors; the plain one is Release, so
# the optimiser's own warnings (-O3) are seen too.
$(TEST_BUILD)/build.ninja:
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DFAN_WERROR=ON -DFAN_BUILD_BENCH=OFF

$(WIN_BUILD)/build.ninja:
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFAN_WERROR=ON -DFAN_BUILD_BENCH=OFF

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFAN_SANITIZE=ON -DFAN_WERROR=ON \
	      -DFAN_BUILD_BENCH=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-test: deps $(TEST_BUILD)/build.ninja
	cmake --build $(TEST_BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-windows: win-deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)

# GUI tests need an X server: the whole run goes under a private Xvfb.
CTEST = xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" ctest --output-on-failure -j $(JOBS)

test-plain: build-test
	cd $(TEST_BUILD) && $(CTEST)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 $(CTEST)

test-linux: test-plain test-asan

test-windows: build-windows
	tests/win32/run_windows_tests.sh $(WIN_BUILD) -j $(JOBS)

check-format: lint-deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# Only the diagnostics are shown; clang-tidy's progress lines go to a log.
TIDY_SOURCES := '$(CURDIR)/(core|texts|ui|app|settings|shell)/'
lint: lint-deps $(TEST_BUILD)/build.ninja
	@run-clang-tidy -p $(TEST_BUILD) -j $(JOBS) -quiet $(TIDY_SOURCES) > $(TEST_BUILD)/clang-tidy.log 2>&1 \
	  || { grep -E -A3 '(error|warning): ' $(TEST_BUILD)/clang-tidy.log; echo "clang-tidy found faults (full log: $(TEST_BUILD)/clang-tidy.log)"; exit 1; }

# Root passes every permission check, so a fault that only an ordinary user
# meets (a mode change dropped before emptying a read-only trashed folder)
# would go unseen: the Trash and settings tests run again as nobody, from a
# copy of the programs nobody can read, with a private home, XDG folders and
# temporary folder. Run by another user than root, they simply run as that user.
UNPRIVILEGED_TESTS := fan_shell_tests fan_settings_tests
.PHONY: test-unprivileged
test-unprivileged: build-test
	@dir=$$(mktemp -d) && trap 'rm -rf "$$dir"' EXIT && chmod 755 "$$dir" && \
	for t in $(UNPRIVILEGED_TESTS); do cp $(TEST_BUILD)/tests/$$t "$$dir/"; done && \
	mkdir -p "$$dir/home/.config" "$$dir/home/.local/share" "$$dir/home/.cache" "$$dir/tmp" && \
	as=""; who=$$(id -un); if [ "$$(id -u)" = 0 ]; then \
	  chown -R 65534:65534 "$$dir/home" "$$dir/tmp"; \
	  as="setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all"; who=nobody; \
	fi && \
	for t in $(UNPRIVILEGED_TESTS); do \
	  echo "$$t as $$who"; \
	  $$as env -i PATH=/usr/bin:/bin HOME="$$dir/home" TMPDIR="$$dir/tmp" \
	    XDG_CONFIG_HOME="$$dir/home/.config" XDG_DATA_HOME="$$dir/home/.local/share" \
	    XDG_CACHE_HOME="$$dir/home/.cache" "$$dir/$$t" --gtest_brief=1 || exit 1; \
	done

# The installed menu entry, as desktops read it.
check-desktop-entry: deps
	desktop-file-validate app/icon/fanorbiter.desktop

test: check-format check-desktop-entry lint test-linux test-windows test-unprivileged

run: build
	./$(BUILD)/app/fanorbiter $(ARGS)

bench: bench-deps $(BUILD)/build.ninja
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(ASAN_BUILD) $(WIN_BUILD)

# The scan's listing threads under ThreadSanitizer: a core-only build of the
# core tests, running the scan cases alone (a few minutes less than all).
TSAN_BUILD ?= build-tsan
TSAN_TESTS := ParallelWalk*:ScanEngine*:ScanProgress*:LinuxDirectoryLister*

.PHONY: test-tsan clean-tsan

$(TSAN_BUILD)/build.ninja:
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFAN_CORE_ONLY=ON -DFAN_WERROR=ON \
	      -DFAN_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread

test-tsan: deps $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target fan_core_tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./$(TSAN_BUILD)/tests/fan_core_tests \
	    --gtest_filter='$(TSAN_TESTS)' --gtest_brief=1

test: test-tsan

clean-tsan:
	rm -rf $(TSAN_BUILD)

clean: clean-tsan
