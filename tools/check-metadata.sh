#!/usr/bin/env bash
# Checks the desktop entry and the AppStream metadata the packages install
# (data/<application id>.desktop and .metainfo.xml) with the freedesktop
# validators, and fails on any error or warning, not only on the errors the
# validators themselves fail on. Both outputs are printed.
#   Usage: tools/check-metadata.sh [DATA_FOLDER]   (data/ by default)
set -euo pipefail
cd "$(dirname "$0")/.."
data="${1:-data}"
id=io.github.prismveldt.Prismveldt
desktop="$data/$id.desktop"
metainfo="$data/$id.metainfo.xml"
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "check-metadata: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done

failed=0
out=$(desktop-file-validate "$desktop" 2>&1) || failed=1
echo "desktop-file-validate $desktop: ${out:-no remarks}"
grep -qE ': (error|warning): ' <<<"$out" && failed=1

out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || failed=1
echo "appstreamcli validate --no-net $metainfo:"
echo "$out"
grep -qE '^[EW]: ' <<<"$out" && failed=1

# The three name one another: the metadata launches the desktop entry, whose
# icon is the id again.
grep -qxF "Icon=$id" "$desktop" || { echo "check-metadata: $desktop does not name the icon $id" >&2; failed=1; }
grep -qF "<id>$id</id>" "$metainfo" || { echo "check-metadata: $metainfo is not $id" >&2; failed=1; }
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  { echo "check-metadata: $metainfo does not launch $id.desktop" >&2; failed=1; }
exit "$failed"
