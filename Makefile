# The two entry points of the README, and the steps behind them.
#   make test     installs what is missing, builds every tree, runs every test layer
#   make package  builds the Windows programs and lays out dist/Quorel/
#   make release  the setup program, the MSI and the portable zip in dist/

JOBS ?= 2
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# Debian's python, where python3-pytest installs; a python of the user's may lack it.
PYTHON := /usr/bin/python3
# The end-to-end driver's options; K picks scenarios as pytest's -k does (make e2e K=glossary).
E2E = $(PYTHON) -m pytest tests/e2e $(if $(K),-k "$(K)") $(E2E_ARGS)

# SCOWL's English word lists (Debian: scowl), from which the base list of word completion is made.
SCOWL_DIR := /usr/share/dict/scowl
# Word counts of a body of English text (Debian: libpresage-data, GPL-2+), which order the
# base list's words within each of SCOWL's levels; their licence goes beside the list. The
# other languages' lists come from Debian's word lists (wfrench and its like), ordered by the
# counts of Spanish and Italian texts (libpresage-data) or of translated manual pages.
PRESAGE_EN := /usr/share/presage/database_en.db

DEBIAN_PACKAGES := cmake make g++ clang libgtest-dev googletest libbenchmark-dev \
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 \
  xvfb x11-utils xdotool imagemagick fonts-dejavu-core libfreetype-dev zlib1g-dev \
  python3 python3-pytest python3-pytest-timeout libstb-dev scowl \
  nsis wixl msitools osslsigncode openssl p7zip-full libpresage-data \
  wfrench wngerman wspanish witalian wportuguese wdutch \
  manpages-fr manpages-de manpages-nl manpages-pt-br locales

.PHONY: all deps test unit asan windows host-tools icon wine e2e fuzz fuzz-long bench package run \
  measure clean release signing manual-pictures

# The version, kept in one place: the project() line of CMakeLists.txt.
VERSION := $(shell sed -n 's/^project.Quorel VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
# Signing a release: SIGN_CERT and SIGN_KEY (PEM), or SIGN_PFX with its password in
# SIGN_PASSWORD, which reaches the signing tool through the environment and shows in no
# command; TIMESTAMP_URL names the RFC 3161 time-stamp authority (NO_TIMESTAMP=1 signs
# without one, and the signatures end with the certificate). DOWNLOAD_URL is where the
# winget manifest says the files are published.
export SIGN_PASSWORD
SIGN_ARGS = $(if $(SIGN_PFX),--pfx "$(SIGN_PFX)") \
  $(if $(SIGN_CERT),--cert "$(SIGN_CERT)" --key "$(SIGN_KEY)") \
  $(if $(TIMESTAMP_URL),--timestamp "$(TIMESTAMP_URL)") $(if $(NO_TIMESTAMP),--no-timestamp) \
  $(if $(DOWNLOAD_URL),--download-url "$(DOWNLOAD_URL)")
# UIACCESS=1 builds a keyboard that may type into administrator windows; Windows starts it
# only signed by a trusted publisher and installed under Program Files.
UIACCESS_FLAG = -DQUOREL_UIACCESS=$(if $(UIACCESS),ON,OFF)

all: package

deps:
	@missing=$$(for p in $(DEBIAN_PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

unit: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j$(JOBS)
	ctest --preset host -j$(JOBS)

asan: deps
	cmake --preset host-asan >/dev/null
	cmake --build --preset host-asan -j$(JOBS)
	ctest --preset host-asan -j$(JOBS)

windows: deps
	@if [ -n "$(UIACCESS)" ] && [ -z "$(SIGN_CERT)$(SIGN_PFX)" ]; then \
	  echo "UIACCESS=1 needs a signed release: give SIGN_CERT and SIGN_KEY, or SIGN_PFX"; exit 1; fi
	cmake --preset windows $(UIACCESS_FLAG) >/dev/null
	cmake --build --preset windows -j$(JOBS)

# The Wine tests of the library and the end-to-end tests of the package, each run once: a
# test that fails only now and then shows a fault a user would meet now and then.
wine: release
	ctest --preset windows

fuzz: deps
	cmake --preset fuzz -DQUOREL_FUZZ_SECONDS=30 >/dev/null
	cmake --build --preset fuzz -j$(JOBS)
	ctest --preset fuzz -j$(JOBS)

fuzz-long: deps
	cmake --preset fuzz -DQUOREL_FUZZ_SECONDS=600 >/dev/null
	cmake --build --preset fuzz -j$(JOBS)
	ctest --preset fuzz -j$(JOBS)

bench: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j$(JOBS) --target quorel_bench quorel_keyboard_bench quorel_image_bench \
	  quorel_completion_bench quorel_taps_saved_bench
	$(PYTHON) tools/word_list/text_counts.py $(PRESAGE_EN) build/host/english-counts.tsv \
	  build/host/english-pairs.tsv
	./build/host/bench/quorel_bench
	./build/host/bench/quorel_keyboard_bench
	./build/host/bench/quorel_image_bench
	./build/host/bench/quorel_completion_bench
	./build/host/bench/quorel_taps_saved_bench

test: unit asan wine fuzz signing

# The setup program, the MSI and the portable zip of the package, in dist/, with their
# SHA256SUMS and winget manifest; signed when SIGN_CERT and SIGN_KEY (or SIGN_PFX) are given.
release: package
	$(PYTHON) installer/release.py build --package dist/Quorel --version $(VERSION) --out dist \
	  $(SIGN_ARGS)

# A release signed with throw-away certificates and time-stamped by an authority on the
# loopback, every signature and time stamp verified, the sums checked, and a password given
# for a .pfx seen in no output.
signing: package
	installer/check_signing.sh $(PYTHON) $(VERSION) dist/Quorel build/signing

# Build-time tools that run on this machine: the panel artwork, the key map and the base list
# of word completion.
host-tools: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j$(JOBS) --target quorel_panel_art quorel_key_map quorel_word_list

# Redraws the keyboard program's icon into data/, where the Windows build takes it from;
# commit the file with the drawing code (a unit test holds the two together).
icon: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j$(JOBS) --target quorel_program_icon
	build/host/tools/program_icon/quorel_program_icon data/QuorelKeyboard.ico

package: windows host-tools
	rm -rf dist/Quorel
	mkdir -p dist/Quorel
	cp build/windows/bin/QuorelApi.dll build/windows/bin/QuorelKeyboard.exe \
	  build/windows/bin/QuorelEditor.exe build/windows/bin/QuorelOptions.exe dist/Quorel/
	cp -r "data/Quorel slidefiles" "data/Quorel glossaries" data/manual dist/Quorel/
	cp LICENSE dist/Quorel/LICENSE.txt
	build/host/tools/panel_art/quorel_panel_art dist/Quorel
	mkdir -p "dist/Quorel/Quorel words"
	$(PYTHON) tools/word_list/text_counts.py $(PRESAGE_EN) build/host/english-counts.tsv \
	  build/host/english-pairs.tsv
	build/host/tools/word_list/quorel_word_list $(SCOWL_DIR) "dist/Quorel/Quorel words/english.txt" \
	  build/host/english-counts.tsv build/host/english-pairs.tsv
	{ cat /usr/share/doc/scowl/copyright; \
	  printf '\n\nThe order of the words within each size, and the next words listed after them,\n'; \
	  printf 'come from the word and pair counts of\n'; \
	  printf "Debian's libpresage-data (the n-gram database of presage), under this licence:\n\n"; \
	  cat /usr/share/doc/libpresage-data/copyright; } > "dist/Quorel/Quorel words/english-copyright.txt"
	$(PYTHON) tools/word_list/other_languages.py build/host/tools/word_list/quorel_word_list \
	  "dist/Quorel/Quorel words" build/host/word-counts
	@echo "Laid out dist/Quorel/"

# The end-to-end tests alone (make e2e K=glossary for some of them).
e2e: package
	$(E2E)

# At finger size under Wine: the program's working set, then 200 taps and 200 slides timed
# by the program itself.
measure: package
	$(E2E) --measure

# The manual's pictures taken anew from the programs into data/manual/images (commit them);
# the end-to-end run fails while one of them no longer shows what the program shows.
manual-pictures: package
	$(PYTHON) -m pytest tests/e2e/test_manual_pictures.py --update-manual

# The keyboard beside Wine's notepad: on this display, or on a virtual one with a
# screenshot when there is none.
run: package
	$(PYTHON) tools/run_quorel.py

clean:
	rm -rf build dist
