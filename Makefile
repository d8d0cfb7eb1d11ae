# The two commands of the README are `make run` and `make test`; both bring a fresh
# Debian 12 machine up to what they need first.
# `make build PAYLOAD_DIR=/path` embeds the product's seven files from that folder;
# without it the build embeds deterministic stand-ins of the same names and lengths.
BUILD       := build
HOST_BUILD  := $(BUILD)/host
WIN_BUILD   := $(BUILD)/win
DEPS_PREFIX := $(abspath $(BUILD)/deps/i686-w64-mingw32)
OUT         := out
WINE_ENV    := tests/wine/wine-env.sh
# The system code pages besides GBK that the installer's end-to-end cases run under.
OTHER_LOCALES := en_US.UTF-8 ja_JP.UTF-8
# The PE time stamp: the commit's time unless SOURCE_DATE_EPOCH says otherwise, so
# two builds of one commit give the same bytes (`make reproducible` checks it).
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)

.PHONY: all setup deps host-tree host windows-tree windows build outputs run clean \
  test test-programs test-host test-wine test-fuzz fuzz stress bench reproducible sign

all: build

setup:
	@tools/setup-machine.sh

deps: setup
	@tools/build-cross-deps.sh $(DEPS_PREFIX)

# Configure steps keep CMake's warnings and leave out its progress lines.
CONFIGURE := cmake --log-level=WARNING -G Ninja

host-tree: setup
	@$(CONFIGURE) -S . -B $(HOST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# `make build` and `make run` need only the installer and the two host tools that
# lay down its template and constants; the test programs come with `make test`.
host: host-tree
	@cmake --build $(HOST_BUILD) --target tplc cassemble

# The Windows tree is built for size: the installer is downloaded, and its work is
# writing files, not computing.
windows-tree: deps host
	@$(CONFIGURE) -S . -B $(WIN_BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/mingw-i686.cmake) \
	  -DTRELLIMO_DEPS_PREFIX=$(DEPS_PREFIX) \
	  -DTRELLIMO_HOST_BUILD=$(abspath $(HOST_BUILD)) \
	  -DTRELLIMO_PAYLOAD_DIR=$(if $(PAYLOAD_DIR),$(abspath $(PAYLOAD_DIR))) \
	  -DTRELLIMO_SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH)

windows: windows-tree
	@cmake --build $(WIN_BUILD) --target TrellimoSetup

build: windows outputs

outputs:
	@mkdir -p $(OUT)
	@cp $(WIN_BUILD)/app/TrellimoSetup.exe $(WIN_BUILD)/window.tpl $(OUT)/
	@cp $(WIN_BUILD)/constants.bin $(OUT)/
	@rm -rf $(OUT)/payload && mkdir -p $(OUT)/payload
	@xargs -d '\n' -a $(WIN_BUILD)/payload-files.txt cp -t $(OUT)/payload/

test: build test-programs test-host test-wine test-fuzz

test-programs: build
	@cmake --build $(HOST_BUILD)
	@cmake --build $(WIN_BUILD)

test-host: test-programs
	@ctest --test-dir $(HOST_BUILD) --output-on-failure

# One Wine environment (prefix, virtual display, warm wineserver) for the whole run,
# then the installer's own tests again in a 32-bit Windows prefix, which has no
# "C:\Program Files (x86)" and one registry view, and its end-to-end cases once more
# under an English and a Japanese system code page. The long soak runs are left to
# `make stress`.
test-wine: test-programs
	@$(WINE_ENV) start
	@status=0; ctest --test-dir $(WIN_BUILD) -LE 'stress|locale' --output-on-failure || status=$$?; \
	  $(WINE_ENV) stop; exit $$status
	@TRELLIMO_WINEARCH=win32 $(WINE_ENV) start
	@status=0; TRELLIMO_WINEARCH=win32 ctest --test-dir $(WIN_BUILD) -L installer --output-on-failure || status=$$?; \
	  TRELLIMO_WINEARCH=win32 $(WINE_ENV) stop; exit $$status
	@for locale in $(OTHER_LOCALES); do \
	  TRELLIMO_WINELOCALE=$$locale $(WINE_ENV) start || exit $$?; \
	  status=0; TRELLIMO_WINELOCALE=$$locale ctest --test-dir $(WIN_BUILD) -L locale --output-on-failure || status=$$?; \
	  TRELLIMO_WINELOCALE=$$locale $(WINE_ENV) stop; [ $$status -eq 0 ] || exit $$status; \
	done

# Two hundred installations in one process and two thousand shortcuts, with their
# handle and memory checks: the same code paths `make test` runs at a tenth the size.
stress: test-programs
	@$(WINE_ENV) start
	@status=0; ctest --test-dir $(WIN_BUILD) -L stress --output-on-failure || status=$$?; \
	  $(WINE_ENV) stop; exit $$status

# The picture decoders and the window template reader under libFuzzer (clang, its
# own tree): FUZZ_SECONDS for each of the seven. `make test` gives them half a
# minute in all.
FUZZ_BUILD   := $(BUILD)/fuzz
FUZZ_SECONDS ?= 60

fuzz: setup
	@$(CONFIGURE) -S tests/fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(FUZZ_BUILD)
	@tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

test-fuzz:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=4

run: build
	@tools/run-installer.sh $(OUT)/TrellimoSetup.exe $(OUT)/screens

clean:
	rm -rf $(BUILD) $(OUT)

# The committed tree built twice, in two fresh clones some minutes apart, the first
# with SOURCE_DATE_EPOCH unset and the second with the commit's time given: the
# installer, its template and its constants area must come out byte for byte the
# same. Apart from `make test`, since it builds everything twice.
reproducible: setup
	@tests/tools/reproducible_build_test.sh

# Signs the built installer into a copy and verifies it: PFX names the code-signing
# certificate and key, PASSWORD_FILE the file holding its password; TIMESTAMP_URL
# a time-stamp server, if one is wanted; CA_FILE what verification trusts instead of
# the system's authorities. Without PFX it says how to get a certificate.
SIGN_IN ?= $(OUT)/TrellimoSetup.exe
SIGNED  ?= $(OUT)/TrellimoSetup-signed.exe
sign: setup
	@tools/sign-installer.sh "$(SIGN_IN)" "$(SIGNED)" "$(PFX)" "$(PASSWORD_FILE)" "$(TIMESTAMP_URL)" "$(CA_FILE)"

# Benchmarks are measured, never asserted: an optimised host build without sanitizers
# for the decoders; the installer beside its NSIS peer under Wine (out/bench.json).
BENCH_BUILD   := $(BUILD)/bench
BENCH_REPEATS ?= 5
bench: test-programs
	@tools/setup-machine.sh --bench
	@$(CONFIGURE) -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DTRELLIMO_SANITIZE=OFF
	@cmake --build $(BENCH_BUILD) --target picture-bench
	@tools/bench-decoders.sh $(BENCH_BUILD)/tools/picture-bench $(BENCH_BUILD)/pictures
	@tools/bench-installer.sh $(WIN_BUILD) $(OUT) $(BENCH_REPEATS)
