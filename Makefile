# Orlavintide: the everyday commands. Each one installs what is missing first.
.PHONY: play test asan bench fuzz deps build clean format format-check difficulty

JOBS ?= $(shell nproc)

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

play: build
	build/default/game/orlavintide

test: build
	ctest --preset default

asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

bench: build
	build/default/bench/kavo_bench

# make fuzz TARGET=<name> [SECONDS=<n>]: runs one libFuzzer target (fuzz/targets/<name>.cpp) for n
# seconds (60 by default) from its seed corpus; without TARGET every target runs in turn. New
# inputs gather in build/fuzz/corpus/<name>/, a failing input is written to build/fuzz/crashes/<name>/
# (copy it to fuzz/crashes/<name>/ once the reader is mended, so the replay test keeps it).
SECONDS ?= 60
FUZZ_TARGETS = $(basename $(notdir $(wildcard fuzz/targets/*.cpp)))
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target $(if $(TARGET),fuzz_$(TARGET),fuzz_all)
	@for t in $(if $(TARGET),$(TARGET),$(FUZZ_TARGETS)); do \
	    mkdir -p build/fuzz/corpus/$$t build/fuzz/crashes/$$t fuzz/crashes/$$t && \
	    dict=; [ -f fuzz/dict/$$t.dict ] && dict=-dict=fuzz/dict/$$t.dict; \
	    echo "fuzzing $$t for $(SECONDS) s"; \
	    build/fuzz/fuzz/fuzz_$$t build/fuzz/corpus/$$t fuzz/corpus/$$t fuzz/crashes/$$t $$dict \
	        -max_total_time=$(SECONDS) -timeout=30 -rss_limit_mb=3072 -print_final_stats=1 \
	        -artifact_prefix=build/fuzz/crashes/$$t/ || exit 1; \
	done

# The run's size goes to playbot, e.g. make difficulty REPORT="-seeds 10 -threads 3".
REPORT ?=
difficulty: deps
	scripts/difficulty-report.sh $(REPORT)

# Every C++ file the repository tracks, in every code folder.
CODE_FILES = git ls-files '*.cpp' '*.h'

format:
	$(CODE_FILES) | xargs -r clang-format -i

# Fails on any tracked C++ file that .clang-format would change (CI runs it).
format-check: deps
	$(CODE_FILES) | xargs -r clang-format --dry-run -Werror

clean:
	rm -rf build
