# The client at a display scale: Wine's LogPixels, read by every Wine
# process when it starts. Wine 8 honours either of the two keys set here
# (HKCU\Control Panel\Desktop, or the HKLM Fonts key); both say the same.
# Sourced after lib.sh by t_dpi.sh and demo.sh.

# dpi_set DPI: the scale for every Wine process started from now on (the
# Wine server is started again, so that the desktop and its taskbar follow).
dpi_set() {
  local hex; hex=$(printf '%08x' "$1")
  e2e_reg_import <<REG
[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$hex

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=dword:$hex
REG
  wineserver -k >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1
}

# dpi_scaled N DPI: N pixels at 100 % at DPI, halves rounded up (as the skins).
dpi_scaled() { echo $(( ($1 * $2 + 48) / 96 )); }

# dpi_size_of LINE: "W H" of a "fonctl windows" line.
dpi_size_of() { awk -F'\t' '{split($4, r, ","); print r[3] - r[1], r[4] - r[2]}' <<<"$1"; }

# dpi_apart LINES H: the windows of "fonctl windows" LINES lie one above the
# other: sorted by their tops, each at least H below the one before.
dpi_apart() {
  awk -F'\t' '{split($4, r, ","); print r[2]}' <<<"$1" | sort -n | awk -v h="$2" 'NR > 1 && $1 - last < h {exit 1} {last = $1}'
}

# The visible dialog with control ID, as a "fonctl windows" line.
dpi_dialog_line() {
  local handle; handle=$(fonctl windows | awk -F'\t' '$2 == "#32770" && $3 == "1" {print $1}' | while read -r h; do
    fonctl dlg-text "$h" "$1" >/dev/null 2>&1 && { echo "$h"; break; }; done)
  [ -n "$handle" ] && fonctl windows | awk -F'\t' -v h="$handle" '$1 == h'
}

# dpi_wait_dialog ID: waits (10 s) until a dialog with control ID is shown.
dpi_wait_dialog() {
  local i
  for i in $(seq 1 50); do
    fonctl dlg-text "has:$1" "$1" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

# dpi_check_dialog NAME ID SKIN-W SKIN-H DPI: the dialog with control ID is
# on screen with its face exactly the background drawn for DPI (one pixel
# of border around it), and no label's text is cut; a screenshot NAME.
dpi_check_dialog() {
  local name=$1 id=$2 w=$3 h=$4 dpi=$5
  check "$name shown" dpi_wait_dialog "$id"
  sleep 0.6
  shot "$name"
  local line; line=$(dpi_dialog_line "$id")
  check_eq "$name face follows the scale" "$(( $(dpi_scaled "$w" "$dpi") + 2 )) $(( $(dpi_scaled "$h" "$dpi") + 2 ))" \
    "$(dpi_size_of "$line")"
  local fit; fit=$(fonctl text-fit "has:$id")
  printf '%s\n' "$fit" >"$E2E_DIR/$name.text-fit"
  check "$name labels drawn" grep -q fits <<<"$fit"
  check_eq "$name no label cut" "" "$(grep -P '\tcut\t' <<<"$fit")"
}
