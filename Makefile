# The two set-up commands of the README. Everything else is plain CMake in build/.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DQY2_WERROR=ON
endif

.PHONY: run test test-asan build deps package clean

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

# The same suite under the address and undefined-behaviour sanitizers (CI runs it after `make test`).
test-asan: deps
	cmake -S . -B build-asan -G Ninja -DQY2_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure --timeout 600

clean:
	rm -rf $(BUILD_DIR) build-asan
