# The two commands: `make run` starts the clock, `make test` runs every test.
.PHONY: run test unit bench release fuzz soak deps build

deps:
	@scripts/install-deps

build: deps
	cmake --preset win64 >/dev/null && cmake --build --preset win64

run: deps
	@scripts/run-clock

test:
	@scripts/test-all $(TIERS)

# The host unit tests alone: seconds after a first build.
unit:
	@out=$$(cmake --preset native 2>&1 && cmake --build --preset native 2>&1) || { echo "$$out"; exit 1; }; \
	ctest --preset unit

bench: deps
	@scripts/bench-all

# Both executables, named with version and processor, and their SHA256SUMS under dist/.
release: deps
	@scripts/release

fuzz: deps
	@scripts/fuzz-all $(DURATION)

# The ten-minute soak run of the clock, the release build where the kernel
# runs 32-bit programs (SECONDS=n for another length).
soak: deps
	@scripts/soak $(SECONDS)
