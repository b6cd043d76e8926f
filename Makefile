# make run   - installs what is missing, builds and starts Tonquill
# make test  - installs what is missing, builds and runs every test
# make install [PREFIX=/usr/local]  - installs the built programs (cmake --install)
# make package - builds a Debian package (.deb) in the build folder
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: all deps configure build run test bench install package clean

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

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	@echo "Benchmarks are in $(BUILD)/bench; see the README for what each measures."

clean:
	rm -rf $(BUILD)
