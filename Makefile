# make run   - installs missing Debian packages (as root), builds in Release, starts the program
# make test  - the same set-up, then every test headless through ctest
BUILD ?= build
BUILD_TYPE ?= Release
JOBS ?= 2
PACKAGES := $(shell grep -v '^\#' tools/debian-packages.txt)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(if $(CI),-DVELIMOR_WERROR=ON)

.PHONY: all deps configure build run test examples clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
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

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/src/velimor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

examples: build
	$(BUILD)/tools/make_examples examples

clean:
	rm -rf $(BUILD)
