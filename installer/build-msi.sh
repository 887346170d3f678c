#!/usr/bin/env bash
# Builds the Windows Installer package of one fonaris.exe:
#   installer/build-msi.sh EXE VERSION OUTPUT.msi
# wixl compiles fonaris.wxs in a staging folder next to the output; then each
# preset's component gets its condition, which wixl cannot express: a value
# given as a property is written; without it, an upgrade writes back what the
# installation it replaces had; otherwise nothing is written.
# The condition also holds while the product is removed (an uninstall, or the
# old product's removal during an upgrade): a component whose condition is
# false then is left behind, values and all.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 EXE VERSION OUTPUT.msi" >&2; exit 2; }
exe=$1 version=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "bad version '$version'" >&2; exit 2; }

mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
stage=$(mktemp -d "$(dirname "$out")/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/fonaris.exe"

# wixl warns on stderr about what it ignores; only its result counts.
(cd "$stage" && wixl -a x64 -D Version="$version" -o "$stage/package.msi" "$here/fonaris.wxs" 2>"$stage/wixl.log") ||
  { cat "$stage/wixl.log" >&2; exit 1; }

condition() {
  printf "UPDATE \`Component\` SET \`Condition\` = '(%s) OR REMOVE~=\"ALL\"' WHERE \`Component\` = '%s'" "$2" "$1"
}
msibuild "$stage/package.msi" \
  -q "$(condition PresetServer SERVERADDRESS)" \
  -q "$(condition PresetServerKept 'WIX_UPGRADE_DETECTED AND NOT SERVERADDRESS AND PreviousServerAddress')" \
  -q "$(condition PresetCtiPort CTIPORT)" \
  -q "$(condition PresetCtiPortKept 'WIX_UPGRADE_DETECTED AND NOT CTIPORT AND PreviousCtiPort')" \
  -q "$(condition PresetRelayPort RELAYPORT)" \
  -q "$(condition PresetRelayPortKept 'WIX_UPGRADE_DETECTED AND NOT RELAYPORT AND PreviousRelayPort')" \
  -q "$(condition PresetCrm CRMTEMPLATE)" \
  -q "$(condition PresetCrmKept 'WIX_UPGRADE_DETECTED AND NOT CRMTEMPLATE AND PreviousCrmTemplate')" \
  -q "$(condition Autostart 'AUTOSTART = "1" OR (WIX_UPGRADE_DETECTED AND NOT AUTOSTART AND PreviousAutostart)')"
mv "$stage/package.msi" "$out"
echo "$out"
