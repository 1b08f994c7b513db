# The two commands a newcomer needs: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test bench install deb format clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/app/coffret

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 600

bench: build
	$(BUILD_DIR)/bench/coffret-bench

# `make install [CMAKE_INSTALL_PREFIX=/usr] [DESTDIR=/staging]`; the prefix defaults to the
# one configured (/usr/local).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) \
	    $(if $(CMAKE_INSTALL_PREFIX),--prefix "$(CMAKE_INSTALL_PREFIX)")

# The Debian package, in $(BUILD_DIR).
deb: build
	cd $(BUILD_DIR) && cpack -G DEB

format:
	find app core jobs library secrets services tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
