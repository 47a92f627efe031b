# The two commands a newcomer needs: `make test` and `make run` (APP=pulsiva for the keep-alive program).
APP ?= zarvelo
JOBS ?= $(shell nproc)

.PHONY: all test run bootstrap native win32 test-native test-win32 dist clean

all: native win32

bootstrap:
	@scripts/bootstrap

native: bootstrap
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

win32: bootstrap
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

test-native: native
	ctest --preset native -j $(JOBS)

test-win32: win32
	ctest --preset win32

test: test-native test-win32

run: win32
	scripts/run-app $(APP)

# The program folder as build/dist/zarvelo-<version>.zip: both programs, the help file and a read-me.
dist: win32
	cmake --build --preset win32 --target dist

clean:
	rm -rf build
