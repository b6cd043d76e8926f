# make run   - installs what is missing, builds and starts Tonquill
# make test  - installs what is missing, builds and runs every test
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/bin/tonquill "examples/Two voices.tql"

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300 -j2

bench: build
	@echo "Benchmarks are in $(BUILD)/bench; see the README for what each measures."

clean:
	rm -rf $(BUILD)
