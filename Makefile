# The newcomer's door: `make run` and `make test` install what is missing, configure, build, run.
BUILD        ?= build
BUILD_TYPE   ?= RelWithDebInfo
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# WERROR=ON makes every compiler warning an error (CI builds so).
WERROR       ?= OFF

CMAKE_CONFIGURE = cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
    -DPOSEWRIGHTER_WERROR=$(WERROR)

.PHONY: all deps configure build run test asan tsan bench fuzz fuzz-long format check-format \
    check-shell clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	$(CMAKE_CONFIGURE)

configure: deps
	$(CMAKE_CONFIGURE)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The editor on the sample robot; without a display it runs on Xvfb and leaves a screenshot
# (scripts/run-editor.sh). RUN_FILES= starts it empty; ARGS adds switches.
RUN_FILES ?= samples/robot/robot.pwp samples/robot/robot.pwa
run: build
	@scripts/run-editor.sh $(BUILD)/app/posewrighter $(RUN_FILES) $(ARGS)

# The window tests (label gui) run after the others and one at a time: each drives a
# software-rendered editor and waits on the state its probe file reports (POSEWRIGHTER_PROBE).
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -LE gui
	ctest --test-dir $(BUILD) --output-on-failure -L gui

# Address and undefined-behaviour sanitizers over the whole test suite. The leak check at exit
# stops every thread with a tracer. GCC 12's runtime, through its __tls_get_addr interception,
# takes a dynamic TLS block that happens to start 16 bytes into a page for an old glibc's header
# and reads a bogus range from it; the tracer then crashes while Mesa's driver threads (which
# have such blocks) are alive, and a passing program ends with "LeakSanitizer has encountered a
# fatal error". Without the interception those blocks are still found, as heap the loader holds.
asan:
	@scripts/install-deps.sh
	ASAN_OPTIONS="$${ASAN_OPTIONS:+$$ASAN_OPTIONS:}intercept_tls_get_addr=0" \
	$(MAKE) test BUILD=build-asan BUILD_TYPE=Debug \
	    CMAKE_CONFIGURE="cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPOSEWRIGHTER_SANITIZE=ON -DPOSEWRIGHTER_WERROR=$(WERROR)"

# ThreadSanitizer over the tests whose code starts a thread: the recovery copy's writer thread
# (files/recovery/recovery_writer.*), which shares the debug log with the editor's thread, as the
# writer's own tests, the recovery keeper, the recovering editor and the title's judgement of the
# keeper drive it; the outline's worker pool (scene/silhouette_pool.*), which works out
# silhouettes while the frame draws; and the threads that prepare a model's mesh files as it
# opens (scene/mesh_batch.*), as the threaded open's test drives them. Only those tests' programs
# are built; each suite must exist, so that a renamed one fails here instead of dropping out.
TSAN_SUITES ?= RecoveryWriter RecoveryKeeper RecoveryLife DocumentTitleTest \
    Workers/SilhouettePoolTest ThreadedOpen
tsan: deps
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPOSEWRIGHTER_TSAN=ON \
	    -DPOSEWRIGHTER_BENCH=OFF -DPOSEWRIGHTER_WERROR=$(WERROR)
	cmake --build build-tsan -j $(JOBS) --target test_files test_app test_scene test_editing
	@set -e; for suite in $(TSAN_SUITES); do \
	    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	    ctest --test-dir build-tsan --output-on-failure --no-tests=error -j $(JOBS) -R "^$$suite\."; \
	done

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done
	@echo "== bench/startup.sh"; bench/startup.sh $(BUILD)/app/posewrighter

# Each fuzz target runs for FUZZ_SECONDS on its seed corpus (clang, libFuzzer, ASan+UBSan). The
# targets are those with a source today: a program left in build-fuzz by a removed one is not run.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOSEWRIGHTER_FUZZ=ON \
	    -DPOSEWRIGHTER_WERROR=$(WERROR)
	cmake --build build-fuzz -j $(JOBS)
	@set -e; for source in fuzz/fuzz_*.cpp; do \
	    name=$$(basename $$source .cpp); f=build-fuzz/fuzz/$$name; mkdir -p build-fuzz/corpus/$$name; \
	    echo "== $$name for $(FUZZ_SECONDS)s"; \
	    $$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 build-fuzz/corpus/$$name fuzz/seeds/$$name; \
	done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

check-format: deps
	@scripts/check-format.sh

check-shell: deps
	@scripts/check-shell.sh

clean:
	rm -rf build build-asan build-tsan build-fuzz

# Every file reader fuzzed for ten minutes (FUZZ_SECONDS=600 each, about an hour in all); not part
# of `make test`. The figures are in each target's final statistics.
fuzz-long:
	$(MAKE) fuzz FUZZ_SECONDS=600
