# Rivoltra: `make run` sets everything up and starts the game; `make test` sets everything up and
# runs every test headless.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

FUZZ_SECONDS ?= 30

.PHONY: all setup configure build run test deb fuzz soak-sanitized format check-format clean

all: build

setup:
	@bash scripts/install-deps.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) > /dev/null

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

# Every fuzz target for FUZZ_SECONDS each, built with clang and the sanitizers.
fuzz: setup
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

# The long simulated play under AddressSanitizer and UndefinedBehaviorSanitizer.
soak-sanitized: setup
	@bash scripts/soak-sanitized.sh

# The house style (.clang-format) applied to every C++ file, and the check CI runs.
format:
	@bash scripts/check-format.sh --fix

check-format:
	@bash scripts/check-format.sh

clean:
	@rm -rf $(BUILD)
