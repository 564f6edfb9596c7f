# make run   - installs the missing Debian packages that building and running need (as root),
#              builds the program alone in Release and starts it; it needs a display
# make test  - installs what the tests need too and generates the cs_CZ.UTF-8 locale (as
#              root), builds everything, then every test headless through ctest, then
#              `make asan` and `make fuzz`
# make check - the quick round: build, then only the offscreen tests (no end-to-end sessions
#              under Xvfb, no sanitizers, no fuzzing)
# make asan  - the test suite again, built with AddressSanitizer and UBSan (Debug, build-asan)
# make fuzz  - the libFuzzer targets of fuzz/ built with clang (build-fuzz), each run from its
#              seed corpus with a fixed seed; any crash or sanitizer report fails
# make package - the same set-up, then the Debian package build/velimor_1.0_amd64.deb (CPack)
# make package-check - the package through lintian, unpacked and started under Xvfb; in CI
#              (CI=true, as root) also installed, started and purged (packaging/check-package.sh)
BUILD ?= build
BUILD_TYPE ?= Release
JOBS ?= 2
RUN_PACKAGES := $(shell grep -v '^\#' tools/debian-packages.txt)
TEST_PACKAGES := $(RUN_PACKAGES) $(shell grep -v '^\#' tools/debian-packages-test.txt)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(if $(CI),-DVELIMOR_WERROR=ON)
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_TARGETS := fuzz_readers fuzz_conversions
FUZZ_RUNS ?= 100000
# The sanitizer run skips the end-to-end tests under Xvfb except the smoke test, which starts
# and closes the real program once.
# Leaks are reported, except those of the system libraries listed in fuzz/lsan.supp; the
# first undefined behaviour stops the test with a stack trace.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps deps-run configure build run test check asan fuzz examples clean package package-check

all: build

# Installs the packages named in PACKAGES that are missing (as root), or names them.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	  else \
	    echo "Missing Debian packages (run as root to install them):$$missing"; exit 1; \
	  fi; \
	fi
endef

deps-run:
	$(call install_missing,$(RUN_PACKAGES))

deps:
	$(call install_missing,$(TEST_PACKAGES))
	@# The Czech locale, so that the tests see the system's messages as a Czech user does
	@# (they pass without it too, with the English ones).
	@if ! locale -a 2>/dev/null | grep -qix 'cs_CZ\.utf-\?8'; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Generating the locale cs_CZ.UTF-8"; \
	    sed -i 's/^# *\(cs_CZ\.UTF-8 UTF-8\)/\1/' /etc/locale.gen; \
	    grep -q '^cs_CZ\.UTF-8 UTF-8' /etc/locale.gen || echo 'cs_CZ.UTF-8 UTF-8' >> /etc/locale.gen; \
	    locale-gen --keep-existing; \
	  else \
	    echo "The locale cs_CZ.UTF-8 is missing (run as root to generate it)"; \
	  fi; \
	fi

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DBUILD_TESTING=ON

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# A build folder made by `make run` has no tests; one that has them keeps them.
run:
	$(if $(DISPLAY)$(WAYLAND_DISPLAY),,$(error make run needs a display (DISPLAY or WAYLAND_DISPLAY is not set); without one: apt-get install xvfb, then xvfb-run -a make run))
	@$(MAKE) --no-print-directory deps-run
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
	cmake --build $(BUILD) -j$(JOBS) --target velimor
	$(BUILD)/src/app/velimor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)
	$(MAKE) package-check
	$(MAKE) asan
	$(MAKE) fuzz

check: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) -E '^e2e\.'

asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELIMOR_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS) -E '^e2e\.'
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -R '^e2e\.smoke$$'

# Each target runs on a copy of its committed corpus, so what it adds stays in the build
# folder; a crash leaves its input in $(FUZZ_BUILD)/artifacts/.
fuzz: deps
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	@set -e; mkdir -p $(FUZZ_BUILD)/artifacts; for t in $(FUZZ_TARGETS); do \
	  rm -rf $(FUZZ_BUILD)/corpus/$$t; mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  cp fuzz/corpus/$$t/* $(FUZZ_BUILD)/corpus/$$t/; \
	  echo "== $$t: $(FUZZ_RUNS) runs"; \
	  $(FUZZ_BUILD)/$$t -seed=1 -runs=$(FUZZ_RUNS) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- $(FUZZ_BUILD)/corpus/$$t 2>$(FUZZ_BUILD)/$$t.log \
	    || { tail -n 60 $(FUZZ_BUILD)/$$t.log; echo "$$t failed; input in $(FUZZ_BUILD)/artifacts/"; exit 1; }; \
	  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' $(FUZZ_BUILD)/$$t.log; \
	done

# One package and nothing else: earlier .deb files and CPack's staging folder (which holds a
# second copy) are removed.
package: build
	rm -rf $(BUILD)/*.deb $(BUILD)/_CPack_Packages
	cd $(BUILD) && cpack -G DEB
	rm -rf $(BUILD)/_CPack_Packages

package-check: package
	timeout 900 packaging/check-package.sh $(BUILD) $(BUILD)/tests/xclose

examples: build
	$(BUILD)/tools/make_examples examples

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
