# Shared by scripts/run and scripts/test: installs the Debian packages that are
# missing, with sudo when not root.
THRUSTLET_PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev qt6-qpa-plugins libgl-dev
  xvfb xauth fonts-dejavu-core fonts-liberation
)
# The Windows build of the Qt-free core and Wine to run its tests.
THRUSTLET_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64)

thrustlet_install_missing() {
  local missing=()
  local pkg
  for pkg in "${THRUSTLET_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
