# Shared set-up for scripts/run and scripts/test: Debian packages, configure, build.
# Sourced, not run.

# What building and running the program needs on a fresh Debian 12 (scripts/run installs only these).
QUORVALE_RUN_PACKAGES=(
    g++ cmake pkg-config python3
    qt6-base-dev qt6-qpa-plugins qt6-serialport-dev libqt6serialport6 fonts-dejavu-core fonts-liberation2 fonts-urw-base35
    libqt6sql6-sqlite libqt6sql6-psql
    libxlsxwriter-dev libharfbuzz-dev libfontconfig-dev
)
# Everything: the above, and what the test suite, the install files and the package need.
QUORVALE_PACKAGES=(
    "${QUORVALE_RUN_PACKAGES[@]}"
    libgtest-dev postgresql
    qpdf poppler-utils ghostscript mupdf-tools python3-openpyxl locales
    desktop-file-utils appstream man-db lintian
    clang-format-14
)
# What scripts/pictures needs besides: a virtual display with a window manager, keys, screenshots.
QUORVALE_PICTURE_PACKAGES=(xvfb openbox xdotool imagemagick poppler-utils libreoffice-calc-nogui)

install_missing_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The comma-decimal locale the workbook's test saves under; Debian's locales package ships it ungenerated.
make_test_locale() {
    locale -a 2>/dev/null | grep -qx 'de_DE.utf8' && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

# configure_and_build PRESET: configures once, then builds incrementally. QUORVALE_WERROR=ON in the
# environment makes warnings errors (.ci/run sets it).
configure_and_build() {
    local preset=$1
    cmake --preset "$preset" -DQUORVALE_WERROR="${QUORVALE_WERROR:-OFF}" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
}
