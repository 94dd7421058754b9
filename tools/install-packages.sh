#!/usr/bin/env bash
# Installs, with apt-get, those of the Debian packages named that are not
# installed yet; safe to run again and again. The project's scripts call it
# with what each of them needs.
#   tools/install-packages.sh WHO PACKAGE...    (WHO names the caller in the log)
set -euo pipefail
who=$1
shift
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "$who: installing ${missing[*]}"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # Another install (a second build, a package test) may hold apt's lock: wait
  # for it rather than fail.
  wait=(-o DPkg::Lock::Timeout=900)
  $sudo apt-get "${wait[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi
