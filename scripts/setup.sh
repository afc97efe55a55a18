# Shared by scripts/run and scripts/test: installs the Debian packages the build needs, once.
# Sourced, not run.

# Packages: compiler and build tools, the test and benchmark frameworks, the option parser.
BANDBENDING_PACKAGES=(g++ cmake ninja-build libgtest-dev libbenchmark-dev libcli11-dev)

ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing ${missing[*]} ..."
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        -o Dpkg::Use-Pty=0 \
        "${missing[@]}" >/dev/null
}

# configure BUILD_DIR [cmake options...]: quick when the directory is already configured.
configure() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}
