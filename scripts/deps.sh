#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the plugin.
set -euo pipefail
packages=(cmake g++ make ccache pkg-config qtbase5-dev qtscript5-dev qtscript5-examples)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
