# Two commands on a fresh Debian 12 machine: `make run` and `make test`.
BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_ARGS ?=
JOBS       ?= $(shell nproc)

.PHONY: all deps configure build run run-kartograv test format tsan bench clean

all: build

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -G Ninja -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS) > $(BUILD_DIR).configure.log 2>&1 \
	  || { cat $(BUILD_DIR).configure.log; exit 1; }

build: configure
	@cmake --build $(BUILD_DIR) --parallel $(JOBS)

run: build
	$(BUILD_DIR)/apps/vrn32/vrn32

# kartograv, the chart preparation program, installed into $(BUILD_DIR)/stage (its help file
# beside it) and started from there.
run-kartograv: build
	@cmake --install $(BUILD_DIR) --prefix $(BUILD_DIR)/stage > /dev/null
	$(BUILD_DIR)/stage/bin/kartograv

test: build
	@export QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-offscreen}; \
	 if [ -z "$${XDG_RUNTIME_DIR:-}" ]; then export XDG_RUNTIME_DIR=$$(mktemp -d); chmod 700 $$XDG_RUNTIME_DIR; fi; \
	 ctest --test-dir $(BUILD_DIR) --output-on-failure --no-tests=error --timeout 300 -j $(JOBS)

format:
	@git ls-files -co --exclude-standard -- '*.cpp' '*.h' | xargs -r clang-format -i

# Rendering threads under ThreadSanitizer.
tsan:
	@$(MAKE) test BUILD_DIR=build-tsan BUILD_TYPE=Debug CMAKE_ARGS="-DVRN_TSAN=ON -DVRN_BENCH=OFF"

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR).configure.log
