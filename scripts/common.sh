# Shared by the run and test scripts: installing what the build needs from
# Debian's packages, and building from scratch.

ORV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ORV_BUILD=${ORV_BUILD:-$ORV_ROOT/build}

ORV_PACKAGES=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql qt6-svg-dev libqt6svg6 qt6-translations-l10n libgl-dev
  qt6-charts-dev libqt6opengl6-dev libpq-dev libsodium-dev postgresql postgresql-common odbc-postgresql
  libsqlite3-dev sqlite3 libxlsxwriter-dev
  unixodbc unixodbc-dev odbcinst libsqliteodbc
  fonts-noto-cjk xvfb xauth imagemagick openbox xdotool
  python3 python3-openpyxl desktop-file-utils xdg-utils
)

orv_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

orv_install_packages() {
  if [ "${ORV_SKIP_PACKAGES:-0}" = 1 ]; then return 0; fi
  echo "== Installing Debian packages"
  orv_as_root apt-get update
  orv_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${ORV_PACKAGES[@]}"
}

orv_build() {
  echo "== Building in $ORV_BUILD"
  cmake -S "$ORV_ROOT" -B "$ORV_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$ORV_BUILD" -j"$(nproc)"
}
