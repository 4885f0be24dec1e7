# The two commands a newcomer types: `make run` and `make test`.

BUILD := build
JOBS ?= $(shell nproc)

# Everything the Linux build, its tests and its benchmarks need.
PACKAGES := cmake make g++ pkg-config \
	libsdl2-dev libopenmpt-dev \
	libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0 \
	libpng-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
	xvfb xauth xdotool x11-utils glslang-tools

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@sh tools/install-deps.sh $(PACKAGES)

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Runs from this folder, where the soundtrack file goes. Without a display it
# starts one of its own.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target vemlodar
	@sh tools/run-presentation.sh $(BUILD)/vemlodar

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Timings of the graphics passes on the OpenGL the headless backend finds.
bench: build
	@$(BUILD)/bench/graphics_bench

clean:
	rm -rf $(BUILD)
