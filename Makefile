# Set-up and everyday commands. `make demo` and `make check` install what is
# missing on a Debian 12 machine first (scripts/bootstrap.sh).
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-rel
FUZZ_BUILD ?= build-fuzz
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all bootstrap bootstrap-check differential build build-asan build-fuzz demo check test test-asan bench fuzz \
        fuzz-check fuzz-generated install clean

all: build

bootstrap:
	@sh scripts/bootstrap.sh

# Also the library headers of the wider corpus that the tests compare with gcc.
bootstrap-check:
	@sh scripts/bootstrap.sh check

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZV_SANITIZE=ON

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-asan: $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS)

demo: bootstrap build
	@mkdir -p out
	@echo "== zerizevar examples/demo.zod examples/demo.h out/demo"
	-ZOLMEXDIR=$(CURDIR)/$(BUILD) $(BUILD)/bin/zerizevar examples/demo.zod examples/demo.h out/demo; \
	    echo "exit status $$?"
	@echo "== listing file examples/demo.lis"
	@cat examples/demo.lis
	@echo "== C test driver out/demo.c (head)"
	@head -n 40 out/demo.c
	-gcc -std=c99 -Wall -fsyntax-only -I target/lib -I . out/demo.c && echo "gcc accepts out/demo.c"
	@echo "== event-code table out/demo.tdc (head)"
	@head -n 20 out/demo.tdc
	@echo "== report structure out/demo_dyn.tsf (head)"
	@head -n 20 out/demo_dyn.tsf
	@echo "== probe header and decoder: out/probe/demo.h, out/probe/demo.c (-PROBE=DEFAULT)"
	@mkdir -p out/probe
	-ZOLMEXDIR=$(CURDIR)/$(BUILD) $(BUILD)/bin/zerizevar examples/demo.zod examples/demo.h out/probe/demo \
	    -PROBE=DEFAULT -NOLOG; echo "exit status $$?"
	-gcc -std=c99 -Wall -fsyntax-only -I target/lib -I . out/probe/demo.c && echo "gcc accepts out/probe/demo.c"
	@echo "== scenario file for the test supervisor: out/demo.spg (-SPVGEN)"
	-cd out && ZOLMEXDIR=$(CURDIR)/$(BUILD) ../$(BUILD)/bin/zerizevar ../examples/demo.zod ../examples/demo.h demo -SPVGEN -NOLOG; \
	    echo "exit status $$?"
	@cat out/demo.spg

check: bootstrap-check
	$(MAKE) test
	$(MAKE) test-asan

# The whole corpus of library and kernel headers read like gcc (the quick
# part of it runs in `make check`).
differential: bootstrap-check build
	ZV_WIDE_CORPUS=1 $(BUILD)/bin/unit_tests --gtest_filter='*ReadLikeTheCompiler*:*AssertionsAreValidC*'

# Speed and memory figures, from an optimised build of their own.
bench: bootstrap
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	bench/native_headers.sh $(BENCH_BUILD) 15
	bench/script_parse.sh $(BENCH_BUILD)
	bench/semantic_walk.sh $(BENCH_BUILD) 10000
	bench/semantic_comm.sh $(BENCH_BUILD) 10000
	bench/end_to_end.sh $(BENCH_BUILD) 100000

# Coverage-guided fuzzing (clang, libFuzzer): each target in turn for
# FUZZ_SECONDS, one process at a time. The corpora grow in
# $(FUZZ_BUILD)/corpora/<target>, seeded from tests/fuzz/corpus; findings land
# in $(FUZZ_BUILD)/findings/<target>. A finding is a crash, a sanitizer report,
# a run over 2 s or over 2 GB; a fatal end of the compiler is not one.
# A campaign of a given size: FUZZ_SECONDS=0 FUZZ_EXTRA=-runs=10000000.
FUZZ_SECONDS ?= 60
FUZZ_EXTRA   ?=
FUZZ_RUNS    ?= 2000
FUZZ_TARGETS := fuzz_script fuzz_native fuzz_compile
FUZZ_FLAGS    = -timeout=2 -rss_limit_mb=2048 -max_len=4096 -close_fd_mask=2 -print_final_stats=1 \
                -dict=$(CURDIR)/tests/fuzz/$$t.dict -artifact_prefix=$(abspath $(FUZZ_BUILD))/findings/$$t/

$(FUZZ_BUILD)/CMakeCache.txt: | bootstrap
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_FUZZ=ON

build-fuzz: $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS) zerizevar

fuzz: build-fuzz
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ_BUILD)/corpora/$$t $(FUZZ_BUILD)/findings/$$t && \
	    cp -n tests/fuzz/corpus/$$t/* $(FUZZ_BUILD)/corpora/$$t/ && \
	    echo "== $$t for $(FUZZ_SECONDS) s" && \
	    $(FUZZ_BUILD)/bin/$$t -max_total_time=$(FUZZ_SECONDS) $(FUZZ_FLAGS) $(FUZZ_EXTRA) \
	        $(abspath $(FUZZ_BUILD))/corpora/$$t || exit 1; \
	done

# The same targets over their seed corpora and FUZZ_RUNS new inputs each,
# deterministically; the corpora in the tree are not changed.
fuzz-check: build-fuzz
	@for t in $(FUZZ_TARGETS); do \
	    rm -rf $(FUZZ_BUILD)/check/$$t && mkdir -p $(FUZZ_BUILD)/check/$$t $(FUZZ_BUILD)/findings/$$t && \
	    echo "== $$t" && \
	    $(FUZZ_BUILD)/bin/$$t -seed=1 -runs=$(FUZZ_RUNS) $(FUZZ_FLAGS) \
	        $(abspath $(FUZZ_BUILD))/check/$$t $(CURDIR)/tests/fuzz/corpus/$$t || exit 1; \
	done

# The compiler on N generated scripts from seed SEED on (the test suite runs
# 200); failing scripts are kept in $(BUILD)/fuzz-failures.
N    ?= 5000
SEED ?= 1
fuzz-generated: build
	tests/fuzz/run_generated.sh $(BUILD)/bin/zerizevar $(BUILD) $(BUILD)/bin/zv_gen_scripts $(N) $(SEED) \
	    $(BUILD)/fuzz-failures

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) out
