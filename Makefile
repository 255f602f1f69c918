# The two set-up commands of the README. Everything else is plain CMake in build/.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DQY2_WERROR=ON
endif

.PHONY: run test build deps clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/src/quillory2

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300

clean:
	rm -rf $(BUILD_DIR)
