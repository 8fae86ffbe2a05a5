# Shared set-up for scripts/run and scripts/test: Debian packages, configure, build.
# Sourced, not run.

# Everything the build, the program, its package and the test suite need on a fresh Debian 12.
QUORVALE_PACKAGES=(
    g++ cmake pkg-config
    qt6-base-dev qt6-qpa-plugins fonts-dejavu-core fonts-liberation2 fonts-urw-base35
    libqt6sql6-sqlite libqt6sql6-psql postgresql
    libxlsxwriter-dev
    libgtest-dev
    qpdf poppler-utils python3 python3-openpyxl locales
    help2man desktop-file-utils appstream man-db lintian
    clang-format-14
)

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

# configure_and_build PRESET: configures once, then builds incrementally.
configure_and_build() {
    local preset=$1 werror=OFF
    [ "${CI:-}" = true ] && werror=ON
    cmake --preset "$preset" -DQUORVALE_WERROR="$werror" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
}
