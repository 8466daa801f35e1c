# The two commands: `make run` opens the application, `make test` passes every test.
.PHONY: all deps build check test test-dev test-asan test-fuzz run bench fuzz format format-check clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset dev >/dev/null
	cmake --build --preset dev

# The quick loop: the dev build and its tests; nothing installed, no sanitizers, no fuzzing.
check:
	cmake --preset dev >/dev/null
	cmake --build --preset dev
	ctest --preset dev -j2

test: deps format-check test-dev test-asan test-fuzz

# As check, with warnings as errors.
test-dev:
	cmake --preset dev -DQUORVEL_WERROR=ON >/dev/null
	cmake --build --preset dev
	ctest --preset dev -j2

test-asan:
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan -j2

# Each fuzz target for 20 seconds, after the inputs of earlier crashes.
test-fuzz:
	bash scripts/fuzz.sh 20

# Longer fuzzing: FUZZ_SECONDS per target (default 600).
fuzz: deps
	bash scripts/fuzz.sh $${FUZZ_SECONDS:-600}

run: build
	@bash scripts/run.sh build/dev

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	@for b in build/release/bench/*_bench; do echo "== $$b"; $$b; done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
