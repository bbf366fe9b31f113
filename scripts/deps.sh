# Sourced by run.sh and test.sh: installs the Debian packages the build needs, only those missing.
PARSETTA_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev
    libsqlite3-dev libsqlitecpp-dev libgettextpo-dev gettext
    libmodbus-dev libgtest-dev libgmock-dev
    clang libclang-rt-14-dev
    xvfb xauth
)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "${PARSETTA_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
}
