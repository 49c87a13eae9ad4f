# The two commands of the README: `make run` and `make test`.
# Both install what is missing first, so a bare Debian 12 needs nothing else.

BUILD      ?= build
SAN_BUILD  ?= build-sanitize
BENCH_BUILD ?= build-bench
JOBS       ?= 2
CMAKE_ARGS ?=
SAMPLE     ?= samples/us-standard-tickets.K81

.PHONY: all deps deps-run build run screenshots test test-sanitize bench clean format

all: build

deps:
	@scripts/install-deps.sh

# What configuring and building the two programs needs, and no more: the
# first `make run` on a bare machine does not wait for the fuzzing compiler,
# the print server or the virtual display the tests use.
deps-run:
	@scripts/install-deps.sh --programs

$(BUILD)/CMakeCache.txt: | deps-run
	@echo "Configuring the build in $(BUILD)/ ..."
	@mkdir -p $(BUILD)
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) > $(BUILD)/configure.log 2>&1 \
	  || { cat $(BUILD)/configure.log; exit 1; }

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

# Only the two programs `run` may start, with one progress line; the full
# build log is kept in $(BUILD)/run-build.log and shown when the build fails.
PROGRAMS := quarrendale-tonnage tonnage
.PHONY: programs
programs: deps-run $(BUILD)/CMakeCache.txt
	@scripts/build-quietly.sh $(BUILD) $(JOBS) $(PROGRAMS)

# Main job: the desktop program. With no display at all it says so and
# prints what the command line makes of a bundled sample instead.
run: programs
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	  exec $(BUILD)/src/gui/quarrendale-tonnage; \
	else \
	  echo "No display to show the program on (DISPLAY and WAYLAND_DISPLAY are empty)."; \
	  echo "The tonnage report of $(SAMPLE):"; \
	  $(BUILD)/src/cli/tonnage report $(SAMPLE); \
	fi

# Pictures of every window under Xvfb, into docs/screenshots/.
screenshots: build
	scripts/screenshots.sh $(BUILD)

# Builds and runs every test; the last lines are ctest's summary.
test: build
	ctest --test-dir $(BUILD) -j$(JOBS) --output-on-failure

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTONNAGE_SANITIZE=ON \
	  -DTONNAGE_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(SAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(SAN_BUILD) -j$(JOBS) --output-on-failure

# Speed goals, in an optimised build of their own.
bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DTONNAGE_BUILD_TESTS=OFF $(CMAKE_ARGS)
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	@for b in $(BENCH_BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b" || exit 1; done

# Lays out every C++ file as .clang-format says (ctest's format_check holds it).
format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(BENCH_BUILD) build-fuzz build-package

# libFuzzer targets under ASan and UBSan, each run FUZZ_SECONDS on a corpus
# seeded from the samples and the kept regression inputs in fuzz/corpus/.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 600
.PHONY: fuzz
fuzz: deps
	CXX=clang++ CC=clang cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTONNAGE_FUZZ=ON -DTONNAGE_BUILD_TESTS=OFF -DTONNAGE_BUILD_BENCH=OFF -DTONNAGE_BUILD_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	@scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The Debian package, from a Release build of its own.
PKG_BUILD ?= build-package
.PHONY: package package-test
package: deps
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DTONNAGE_BUILD_TESTS=OFF \
	  -DTONNAGE_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_ARGS)
	cmake --build $(PKG_BUILD) -j$(JOBS)
	rm -f $(PKG_BUILD)/*.deb
	cd $(PKG_BUILD) && cpack -G DEB
	@ls -1 $(PKG_BUILD)/*.deb

# The package unpacked into a scratch folder and checked file by file.
package-test: package
	tests/package/check-package.sh $$(ls -1 $(PKG_BUILD)/quarrendale-tonnage_*.deb | head -n 1)
