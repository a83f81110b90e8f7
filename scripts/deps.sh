#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again.
set -euo pipefail
pkgs=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-serialport-dev qt6-svg-dev libqcustomplot-dev
      libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev ccache
      qt6-translations-l10n        # Qt's own dialogs and buttons in Japanese and Chinese
      poppler-utils                # pdftotext and pdfinfo: the PDF printing tests read the text back
      clang libclang-rt-14-dev    # clang's libFuzzer and sanitizer runtimes: only recommended by clang
      dpkg-dev lintian desktop-file-utils appstream    # the package and its checks (scripts/package-test)
      xvfb xauth                   # a virtual X screen for the tour of every window (scripts/screenshots)
      fonts-noto-cjk)              # the Japanese and Chinese texts of the windows and their pictures
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
