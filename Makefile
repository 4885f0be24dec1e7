# The two commands a newcomer types: `make run` and `make test`.

BUILD := build
JOBS ?= $(shell nproc)

# Everything the Linux build, its tests and its benchmarks need.
PACKAGES := cmake make g++ pkg-config \
	libsdl2-dev libopenmpt-dev \
	libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0 \
	libpng-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
	xvfb xauth xdotool x11-utils glslang-tools

# The Windows build and its tests under Wine: both MinGW-w64 cross compilers
# (the 64-bit one for wine64 where the kernel runs no 32-bit programs), Wine
# for 32- and 64-bit programs, the 32-bit Mesa it renders with, and xwd for
# screenshots. The :i386 packages need Debian's i386 architecture enabled.
WINDOWS_BUILD := build-windows
WINDOWS_PACKAGES := g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
	wine wine32:i386 wine64 \
	libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libgl1 libglx-mesa0 libgl1-mesa-dri \
	xvfb xauth xdotool x11-utils x11-apps
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build run test bench clean windows-deps windows

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

test: build windows-deps
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Timings of the graphics passes on the OpenGL the headless backend finds.
bench: build
	@$(BUILD)/bench/graphics_bench

# vemlodar.exe for 32-bit Windows, into build-windows/.
windows: windows-deps
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)

windows-deps:
	@dpkg --print-foreign-architectures | grep -qx i386 || $(SUDO) dpkg --add-architecture i386
	@sh tools/install-deps.sh $(WINDOWS_PACKAGES)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)
