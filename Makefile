# Shortcuts for the scripts in scripts/.
.PHONY: run test bench build format clean

run:
	scripts/run.sh $(FILE)

test:
	scripts/test.sh

bench:
	scripts/bench.sh

build:
	cmake --preset default && cmake --build --preset default

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
