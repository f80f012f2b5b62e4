# Orlavintide: the everyday commands. Each one installs what is missing first.
.PHONY: play test asan bench deps build clean format

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

format:
	find platform app graphics widgets puzzle media game display raster crash tests bench tools \
	     -name '*.h' -o -name '*.cpp' 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf build
