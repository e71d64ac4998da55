# Rivoltra: `make run` sets everything up and starts the game; `make test` sets everything up and
# runs every test headless.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

FUZZ_SECONDS ?= 30
WEB_BUILD ?= build-web
# ON in CI: the project's compiler warnings fail the build (Linux, browser and Windows builds alike).
WERROR ?= OFF

.PHONY: all setup configure build run test deb fuzz soak-sanitized cross-build-replays format check-format tidy \
  web web-test windows windows-package windows-test clean

all: build

setup:
	@bash scripts/install-deps.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DRIVOLTRA_WERROR=$(WERROR) > /dev/null

build: configure
	@ninja -C $(BUILD) -j$(JOBS)

# The game runs in the build folder, which holds the generated Data/.
run: build
	@cd $(BUILD) && ./rivoltra

test: build
	@bash scripts/run-tests.sh $(BUILD)

# rivoltra_VERSION_ARCH.deb and rivoltra-scores_VERSION_ARCH.deb in $(BUILD)/deb, checked by lintian.
deb: build
	@bash scripts/make-deb.sh $(BUILD) $(BUILD)/deb
	@lintian --fail-on error $(BUILD)/deb/*.deb
	@bash scripts/check-deb-licence.sh $(BUILD)/deb/*.deb

# Every fuzz target for FUZZ_SECONDS each, built with clang and the sanitizers.
fuzz: setup
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

# The long simulated play under AddressSanitizer and UndefinedBehaviorSanitizer.
soak-sanitized: setup
	@bash scripts/soak-sanitized.sh

# A game recorded by the sanitized build verifies under the release build and the other way round.
cross-build-replays: build
	@bash scripts/cross-build-replays.sh $(BUILD) build-soak-asan

# The house style (.clang-format) applied to every C++ file, and the check CI runs.
format:
	@bash scripts/check-format.sh --fix

check-format:
	@bash scripts/check-format.sh

# clang-tidy (.clang-tidy) over every project file of the build; any finding fails.
tidy: build
	@bash scripts/clang-tidy.sh $(BUILD) $(JOBS)

# The game in the browser: index.html, index.js, index.wasm, index.data (the game data generated
# by the desktop build), the page's own files, the web app's manifest, icons and service worker,
# LICENSE.txt and THIRD-PARTY-NOTICES.txt in $(WEB_BUILD), nothing else, so the folder can be served
# as it is (rivoltra-scores --web $(WEB_BUILD)). The libraries for WebAssembly are built once into
# ~/.cache/rivoltra; emscripten's own build files go to $(WEB_TREE).
WEB_TREE ?= $(BUILD)/web
web: build
	@prefix=$$(bash scripts/web-deps.sh | tail -1) && \
	  NODE_PATH=/usr/share/nodejs emcmake cmake -S web -B $(WEB_TREE) -G Ninja \
	    -DRIVOLTRA_WEB_PREFIX="$$prefix" -DRIVOLTRA_WEB_DATA="$(abspath $(BUILD))/Data" \
	    -DRIVOLTRA_WEB_OUTPUT="$(abspath $(WEB_BUILD))" -DRIVOLTRA_WERROR=$(WERROR) > /dev/null && \
	  NODE_PATH=/usr/share/nodejs ninja -C $(WEB_TREE) -j$(JOBS)

# The browser build played in headless Chromium against a score server that serves it.
web-test: web
	@bash scripts/web-test.sh $(BUILD) $(WEB_BUILD)

# The game for Windows x86-64 (rivoltra.exe, rivoltra-replay.exe) in $(WIN_BUILD), cross-built with
# MinGW-w64; the libraries are built static once into ~/.cache/rivoltra. $(WIN_BUILD) also holds
# the game data and a "portable" marker, so it runs as it is (under Wine, or copied to Windows).
WIN_BUILD ?= build-win
windows: build
	@prefix=$$(bash scripts/windows-deps.sh | tail -1) && \
	  cmake -S windows -B $(WIN_BUILD) -G Ninja \
	    -DCMAKE_TOOLCHAIN_FILE="$(abspath windows/mingw-w64.cmake)" -DRIVOLTRA_WIN_PREFIX="$$prefix" \
	    -DRIVOLTRA_NATIVE_BUILD="$(abspath $(BUILD))" -DRIVOLTRA_WERROR=$(WERROR) > /dev/null && \
	  ninja -C $(WIN_BUILD) -j$(JOBS)

# rivoltra-VERSION-win64.zip (portable) and rivoltra-VERSION-win64-setup.exe (NSIS) in $(WIN_BUILD).
windows-package: windows
	@bash scripts/windows-package.sh $(WIN_BUILD) $(BUILD)

# The installer, the game, the verifier and the HTTP transport under Wine on Xvfb, in a throwaway
# Wine prefix.
windows-test: windows-package
	@bash scripts/windows-test.sh $(BUILD) $(WIN_BUILD)

clean:
	@rm -rf $(BUILD)
