#!/usr/bin/env bash
# The Debian package: installs what is missing, configures build/ for the prefix /usr, builds
# what the package holds and the demo database generator (to try the package with), and lets
# CPack write build/sepmet_<version>_<architecture>.deb; lintian checks it when installed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build -j "$(nproc)" --target sepmet_installable sepmet-demo-database
(cd build && cpack -G DEB)

package=$(ls -t build/sepmet_*.deb | head -n 1) # the one cpack just wrote
if command -v lintian >/dev/null; then
    echo "== lintian $package"
    lintian --fail-on error "$package"
fi
echo "Package: $PWD/$package"
echo "Install it with: apt-get install ./$package"
echo "Try it: build/tools/demo_database/sepmet-demo-database demo.db &&" \
    "sepmet-batch --db demo.db --vW 100 --vG 10 --rhoG 0.7 --add 1-12"
