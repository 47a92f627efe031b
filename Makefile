# The two commands a newcomer needs: `make test` and `make run` (APP=pulsiva for the keep-alive program).
APP ?= zarvelo
JOBS ?= $(shell nproc)

.PHONY: all test run bootstrap native win32 wintests test-native test-win32 test-wintests dist clean

all: native win32 wintests

bootstrap:
	@scripts/bootstrap

native: bootstrap
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

# The shipped 32-bit programs and the help file, in build/win32/bin.
win32: bootstrap
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

# The Windows tests and a 64-bit build of the programs for them to drive, in build/wintests/bin: what the
# tests run where this machine refuses 32-bit code.
wintests: bootstrap
	cmake --preset wintests >/dev/null
	cmake --build --preset wintests -j $(JOBS)

test-native: native
	ctest --preset native -j $(JOBS)

test-win32: win32
	ctest --preset win32 -j $(JOBS)

# The Windows tests under Wine: as 32-bit programs driving the shipped ones where this machine runs
# 32-bit code, otherwise the 64-bit build; scripts/test-windows says which and why.
test-wintests: win32
	JOBS=$(JOBS) scripts/test-windows

test: test-native test-win32 test-wintests

# The shipped program where this machine runs 32-bit code, otherwise the 64-bit build.
run: win32
	JOBS=$(JOBS) scripts/run-app $(APP)

# The program folder as build/dist/zarvelo-<version>.zip: both programs, the help file and a read-me.
dist: win32
	cmake --build --preset win32 --target dist

clean:
	rm -rf build
