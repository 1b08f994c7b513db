# The two commands a newcomer needs: `make run` and `make test`.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
JOBS ?= $(shell nproc)
# Seconds each fuzz target runs for in `make fuzz`.
SECONDS ?= 60
FUZZ_TARGETS := zip package tar targz stream rar 7z probe
# An absurd allocation returns null as malloc would: libarchive asks for one on damaged
# RAR 5 headers and then fails cleanly.
ASAN_BASE := detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
CHECK_ENV := LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
FUZZ_ENV := ASAN_OPTIONS=$(ASAN_BASE) $(CHECK_ENV)
# The suite unwinds fully on malloc: Qt is built without frame pointers, and the leak
# suppressions match on frames that fast unwinding would lose.
SANITIZER_ENV := ASAN_OPTIONS=$(ASAN_BASE):fast_unwind_on_malloc=0 $(CHECK_ENV)

.PHONY: deps configure build run test coverage bench install deb format clean test-sanitize \
	fuzz-build fuzz fuzz-replay

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

coverage: deps
	bash scripts/coverage.sh

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer, leaks checked.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCOFFRET_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) --timeout 900

# The libFuzzer targets (clang-14) and their seed corpus.
fuzz-build: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -DCOFFRET_FUZZ=ON \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	rm -rf $(FUZZ_DIR)/seeds
	scripts/fuzz-seeds.sh $(FUZZ_DIR)/tests/fuzz/seed_writer $(FUZZ_DIR)/seeds

# Each target for SECONDS seconds; what it finds lands in $(FUZZ_DIR)/findings/TARGET/.
fuzz: fuzz-build
	for t in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/findings/$$t && \
		$(FUZZ_ENV) $(FUZZ_DIR)/tests/fuzz/fuzz_$$t -max_total_time=$(SECONDS) -timeout=30 -print_final_stats=1 \
			-artifact_prefix=$(FUZZ_DIR)/findings/$$t/ $(FUZZ_DIR)/corpus/$$t \
			$(FUZZ_DIR)/seeds/$$t || exit 1; \
	done

# Every seed and every kept regression input, once, through its sanitized target.
fuzz-replay: fuzz-build
	for t in $(FUZZ_TARGETS); do \
		inputs=$$(find $(FUZZ_DIR)/seeds/$$t tests/fuzz/regressions/$$t -type f 2>/dev/null); \
		$(FUZZ_ENV) $(FUZZ_DIR)/tests/fuzz/fuzz_$$t -timeout=60 $$inputs || exit 1; \
	done

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
