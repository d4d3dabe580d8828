#!/usr/bin/env bash
# Installs what game_dock needs to build, run and test on a Debian machine; installs only
# what is missing, so it is quick on a machine that has everything.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev
  qt6-base-dev
  unixodbc-dev
  postgresql odbc-postgresql mariadb-server odbc-mariadb
  firebird3.0-server firebird3.0-utils libfbclient2 firebird-dev
  locales
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ((${#missing[@]})); then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# A locale whose decimal point is a comma, for the test that numbers ignore the process locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
