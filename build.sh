#!/usr/bin/env bash
# Builds Numbrill on Debian 12.
#
#   ./build.sh install   installs what the build needs, builds, installs for this
#                        user under ~/.local and starts the program
#   ./build.sh test      installs what the build needs, builds and runs every test
#                        headless
#   ./build.sh package   installs what the build needs, builds for /usr and makes
#                        the Debian package numbrill_<version>_<arch>.deb here
set -euo pipefail
cd "$(dirname "$0")"

# libqt6svg6 carries the SVG icon engine and image format plugins the pictures need;
# the window sizes were checked against the Liberation and DejaVu faces.
packages=(cmake g++ make qt6-base-dev qt6-svg-dev libqt6svg6 fonts-liberation2 fonts-dejavu-core
          desktop-file-utils appstream python3)
prefix="${NUMBRILL_PREFIX:-$HOME/.local}"
jobs="$(nproc 2>/dev/null || echo 2)"

configure_and_build() {
    local dir="$1"
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" --parallel "$jobs"
}

case "${1:-}" in
install)
    tools/install-packages.sh "${packages[@]}"
    configure_and_build build -DCMAKE_INSTALL_PREFIX="$prefix"
    env -u DESTDIR cmake --install build
    exec "$prefix/bin/numbrill"
    ;;
test)
    tools/install-packages.sh "${packages[@]}"
    configure_and_build build -DNUMBRILL_WERROR=ON
    ctest --test-dir build --output-on-failure --parallel "$jobs"
    ;;
package)
    tools/install-packages.sh "${packages[@]}" dpkg-dev
    # Debian's hardening flags; the package's own build folder, so that it never
    # mixes with a build for ~/.local.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    configure_and_build build-package -DCMAKE_INSTALL_PREFIX=/usr -DNUMBRILL_SYSTEM_INSTALL=ON \
        -DNUMBRILL_TESTS=OFF \
        -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
    (cd build-package && cpack -G DEB)
    ;;
*)
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
