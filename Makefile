# make run   installs what is missing, builds, and starts olbrax with its default data directory
# make test  the same, then runs every test (headless)
BUILD ?= build
TYPE  ?= RelWithDebInfo

.PHONY: all deps configure build run test test-asan bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: start the program with 'xvfb-run -a make run' (or from a desktop session)."; \
	  exit 1; \
	fi
	$(BUILD)/app/olbrax

test: build
	scripts/run-tests $(BUILD)

# The tests under AddressSanitizer and UndefinedBehaviorSanitizer, in a build folder of their own.
test-asan:
	@scripts/install-deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOLBRAX_SANITIZE=ON
	cmake --build build-asan
	scripts/run-tests build-asan

clean:
	rm -rf $(BUILD) build-asan
