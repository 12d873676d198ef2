# Front door of the project: `make run` and `make test` do all set-up on a
# fresh Debian machine (missing packages, configure, build).

BUILD      ?= build
BUILD_SAN  ?= build-sanitize
BUILD_TSAN ?= build-tsan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
ARGS       ?= examples/example.fa
PREFIX     ?= /usr/local

.PHONY: all setup build run test sanitize tsan fuzz bench clean install

all: build

setup:
	@bash scripts/setup.sh

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$(PREFIX)

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/katrel $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

sanitize: setup
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DKATREL_SANITIZE=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure -j $(JOBS) -LE mpi

# ThreadSanitizer build: the tests that search with several threads.
tsan: setup
	cmake -S . -B $(BUILD_TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKATREL_TSAN=ON -DKATREL_BUILD_MPI=OFF
	cmake --build $(BUILD_TSAN) -j $(JOBS)
	cd $(BUILD_TSAN) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) \
	  -R 'Threads|golden_t2\.|EndToEnd' -E 'HostileInputs'

fuzz:
	bash scripts/fuzz.sh

bench: build
	bash bench/run.sh

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_TSAN) build-fuzz
