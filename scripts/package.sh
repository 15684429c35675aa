#!/usr/bin/env bash
# Builds the Debian package of the program with CPack, installed under /usr, into build-package/.
# Then, on a Debian 12 desktop:  sudo apt install ./build-package/ferio_*.deb
# apt pulls in what the package depends on (Qt, SDL_mixer, espeak-ng, MeCab and its dictionary,
# the IPA fonts, the MIDI sound font).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr "${launcher[@]}"
cmake --build build-package -j2
rm -f build-package/ferio_*.deb
(cd build-package && cpack -G DEB)
echo "Install it with: sudo apt install ./build-package/$(cd build-package && ls ferio_*.deb)"
