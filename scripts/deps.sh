# Shared by scripts/run and scripts/test: installs the Debian packages that are
# missing, with sudo when not root.
THRUSTLET_PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libyaml-cpp-dev libtinyxml2-dev libeigen3-dev nlohmann-json3-dev
  xvfb xauth fonts-dejavu-core fonts-liberation
  poppler-utils
  clang libclang-rt-14-dev
)
# The Windows build and Wine to run its tests, NSIS for the installer, and a
# private desktop (display, window manager, input) to use the window and the
# installer under Wine; their recommendations (a desktop's worth of Wine
# extras) are not needed.
THRUSTLET_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 nsis xvfb xauth openbox xdotool)
# The Debian package check and the software centres' listing check.
THRUSTLET_PACKAGE_CHECK_PACKAGES=(lintian appstream)

thrustlet_missing() {
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      echo "$pkg"
    fi
  done
}

# thrustlet_install [apt-get options --] PACKAGE...
thrustlet_install() {
  local options=()
  if [ "${1:-}" != "" ] && [ "${1#-}" != "$1" ]; then
    while [ "$1" != "--" ]; do options+=("$1"); shift; done
    shift
  fi
  local missing
  mapfile -t missing < <(thrustlet_missing "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${options[@]}" "${missing[@]}"
}

thrustlet_install_missing() {
  thrustlet_install "${THRUSTLET_PACKAGES[@]}"
}

thrustlet_install_package_check_tools() {
  thrustlet_install --no-install-recommends -- "${THRUSTLET_PACKAGE_CHECK_PACKAGES[@]}"
}

thrustlet_install_windows_tools() {
  thrustlet_install --no-install-recommends -- "${THRUSTLET_WINDOWS_PACKAGES[@]}"
}
