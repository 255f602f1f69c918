# The two set-up commands of the README (`make run`, `make test`). Everything else is plain CMake in build/.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DQY2_WERROR=ON
endif
FUZZ_SECONDS ?= 30

.PHONY: run test test-asan check-format build deps package clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/src/quillory2

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300

# The Debian package, from the same build: $(BUILD_DIR)/quillory2_<version>_<arch>.deb
package: build
	cmake --build $(BUILD_DIR) --target package

# The same suite built with clang under the address and undefined-behaviour sanitizers, with the
# fuzzers, each of which then runs for FUZZ_SECONDS as a smoke test (CI runs this after `make test`).
test-asan: deps
	CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DQY2_SANITIZE=ON -DQY2_BUILD_FUZZERS=ON $(CMAKE_FLAGS)
	cmake --build build-asan
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure --timeout 600
	scripts/run-fuzzers build-asan/fuzz $(FUZZ_SECONDS)

check-format: deps
	scripts/check-format

clean:
	rm -rf $(BUILD_DIR) build-asan
