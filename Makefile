# The two commands a newcomer types: `make run` and `make test`.

BUILD := build
JOBS ?= $(shell nproc)

# Everything the Linux build, its tests and its benchmarks need.
PACKAGES := cmake make g++ pkg-config \
	libsdl2-dev libopenmpt-dev \
	libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0 \
	libpng-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
	xvfb xauth xdotool x11-utils glslang-tools \
	ffmpeg parallel

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

.PHONY: all deps configure build run test bench capture clean windows-deps windows windows-zip

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

# A few seconds of the presentation as a video with its sound, rendered
# offline from this folder (where the soundtrack goes) on whatever OpenGL the
# headless backend finds; no display needed.
CAPTURE_SAMPLE := $(BUILD)/vemlodar-sample.mp4
capture: configure
	@cmake --build $(BUILD) -j $(JOBS) --target vemlodar-capture
	@$(BUILD)/tools/capture/vemlodar-capture --from 10 --to 16 --fps 30 --size 1280x720 \
		-o $(CAPTURE_SAMPLE)
	@echo "wrote $(CAPTURE_SAMPLE)" >&2

# Timings of the graphics passes on the OpenGL the headless backend finds.
bench: build
	@$(BUILD)/bench/graphics_bench

# The Windows build, into build-windows/: vemlodar.exe, our BASSMOD.dll and,
# once it is in this folder, the soundtrack, ready to be zipped. The first
# build also fetches and compiles libopenmpt there.
SOUNDTRACK := orvanth - fenwarrow_s vessick..mod
WINDOWS_ZIP := $(WINDOWS_BUILD)/vemlodar-windows.zip

windows: windows-deps
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@if [ -f "$(SOUNDTRACK)" ]; then cp "$(SOUNDTRACK)" "$(WINDOWS_BUILD)/"; \
	else rm -f "$(WINDOWS_BUILD)/$(SOUNDTRACK)"; \
		echo "no '$(SOUNDTRACK)' here: the Windows build is silent" >&2; fi

# The three files of build-windows/ in one zip, with no folder inside.
windows-zip: windows
	@rm -f $(WINDOWS_ZIP)
	@cd $(WINDOWS_BUILD) && set -- vemlodar.exe BASSMOD.dll && \
		{ [ ! -f "$(SOUNDTRACK)" ] || set -- "$$@" "$(SOUNDTRACK)"; } && \
		cmake -E tar cf $(notdir $(WINDOWS_ZIP)) --format=zip "$$@"
	@echo "$(WINDOWS_ZIP)"

# The libopenmpt cross builds need its Debian source package, so apt gets a
# deb-src entry beside the system's own deb entries.
DEB_SRC_LIST := /etc/apt/sources.list.d/vemlodar-deb-src.sources

windows-deps:
	@dpkg --print-foreign-architectures | grep -qx i386 || $(SUDO) dpkg --add-architecture i386
	@sh tools/install-deps.sh $(WINDOWS_PACKAGES)
	@apt-cache showsrc libopenmpt >/dev/null 2>&1 || { \
		. /etc/os-release; \
		printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
			"$$VERSION_CODENAME" "$$VERSION_CODENAME" | $(SUDO) tee $(DEB_SRC_LIST) >/dev/null; \
		$(SUDO) apt-get update -qq; }

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)
