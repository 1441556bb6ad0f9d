# Installs the Debian packages named as arguments that are not there yet.
# Sourced by the other scripts; asks apt only when something is missing.
kelpra_install() {
    # One question to dpkg for all of them: starting a program stays quick.
    local installed missing=()
    installed="$(dpkg-query -W -f='${Package} ${Status}\n' "$@" 2>/dev/null |
        awk '/ install ok installed$/ { print $1 }')" || true
    for package in "$@"; do
        grep -qx "${package%%:*}" <<< "$installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

KELPRA_BUILD_PACKAGES=(cmake g++ make git clang-format clang-tidy libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev
    xvfb xauth xdotool)

# The fuzz targets (fuzz/run.sh): clang with libFuzzer and the sanitizers.
KELPRA_FUZZ_PACKAGES=(clang libclang-rt-dev)

# Building the Debian package (tools/package.sh): the release build, and
# what its dependencies are computed with (dpkg-shlibdeps asks file).
KELPRA_DEB_PACKAGES=(cmake g++ make qt6-base-dev dpkg-dev file gzip)

# Checking and installing it (tools/test-package.sh).
KELPRA_PACKAGE_PACKAGES=(dpkg-dev file gzip binutils desktop-file-utils appstream appstream-util lintian)

# The Windows builds, their installers and their tests under Wine
# (tools/test-windows.sh). Wine's 32-bit loader comes from the i386
# architecture, which is enabled first.
KELPRA_WINDOWS_PACKAGES=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest nsis
    wine wine32:i386 wine64 xvfb xauth)

kelpra_enable_i386() {
    dpkg --print-foreign-architectures | grep -qx i386 && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo dpkg --add-architecture i386
}
