# Two commands on a fresh Debian 12 machine:
#   make run    installs what the program needs, builds it, starts the sample server and opens the program
#   make test   installs, builds and runs every test through CTest
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
LAUNCHER := $(shell command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

PACKAGES := build-essential cmake ninja-build pkg-config git \
	qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-svg-dev libqt6svg6 qt6-image-formats-plugins libgl-dev \
	libcurl4-openssl-dev libicu-dev libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev \
	nginx curl fonts-noto-cjk fonts-arphic-ukai xvfb xauth xdotool x11-utils imagemagick clang libclang-rt-14-dev

.PHONY: deps build run test test-asan test-tsan bench clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) $(LAUNCHER)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@./tools/run-with-sample-server.sh $(BUILD)

# The whole suite, then once more under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# engine, runner and facade tests under ThreadSanitizer.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan test-tsan

test-asan: deps
	cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLENDRIK_SANITIZE="address;undefined" \
	  -DPLENDRIK_BUILD_BENCH=OFF $(LAUNCHER)
	cmake --build $(BUILD)-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(BUILD)-asan --output-on-failure -j $(JOBS) -LE e2e

test-tsan: deps
	cmake -S . -B $(BUILD)-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLENDRIK_SANITIZE=thread \
	  -DPLENDRIK_BUILD_BENCH=OFF $(LAUNCHER)
	@# only the executables of the tests that run under ThreadSanitizer
	cmake --build $(BUILD)-tsan -j $(JOBS) --target $$(ctest --test-dir $(BUILD)-tsan -N -L tsan | awk '/Test +#/ {print $$3}')
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --test-dir $(BUILD)-tsan --output-on-failure -j $(JOBS) -L tsan

bench: build
	./bench/run $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan
