# End-to-end rig: the real fonaris.exe under Wine and Xvfb beside tsg-sim.
#
# Sourced by run.sh, demo.sh and the benchmarks. Every test gets its own copy
# of a template Wine prefix, its own X display, its own tsg-sim on free ports
# and its own artifacts folder (logs, registry exports, screenshots).

set -u

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_BUILD=${E2E_BUILD:-$E2E_ROOT/build}
E2E_WIN=$E2E_BUILD/windows
E2E_TSGSIM=${E2E_TSGSIM:-$E2E_BUILD/native/tools/tsg-sim/tsg-sim}
E2E_TEMPLATE=$E2E_BUILD/wine-template
E2E_ARTIFACTS=${E2E_ARTIFACTS:-$E2E_BUILD/e2e-artifacts}

export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="-all,err+all,warn+debugstr"
export WINEARCH=win64

# ---------------------------------------------------------------- helpers --

e2e_log() { printf '[e2e] %s\n' "$*" >&2; }

# A free X display number.
e2e_free_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; return 0; }
  done
  return 1
}

# Makes the template prefix once: booted, with Wine's virtual desktop (a real
# taskbar with a tray) switched on.
e2e_template() {
  [ -f "$E2E_TEMPLATE/.ready-2" ] && return 0
  e2e_log "creating the Wine template prefix (once, ~20 s)"
  rm -rf "$E2E_TEMPLATE"
  mkdir -p "$E2E_TEMPLATE"
  local d; d=$(e2e_free_display)
  Xvfb ":$d" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  local xpid=$!
  sleep 0.5
  (
    export WINEPREFIX="$E2E_TEMPLATE/prefix" DISPLAY=":$d" WINEDEBUG=-all
    wineboot -i >/dev/null 2>&1
    cat >"$E2E_TEMPLATE/desktop.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1280x800"

[HKEY_LOCAL_MACHINE\Software\Classes\http\shell\open\command]
@="\"C:\\fonaris-test\\fakebrowser.exe\" \"%1\""

[HKEY_LOCAL_MACHINE\Software\Classes\https\shell\open\command]
@="\"C:\\fonaris-test\\fakebrowser.exe\" \"%1\""
REG
    wine regedit /S "$(winepath -w "$E2E_TEMPLATE/desktop.reg")" >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1 || true
  )
  kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null
  touch "$E2E_TEMPLATE/.ready-2"
}

# ------------------------------------------------------------- a test run --

# e2e_begin NAME: fresh prefix, display, artifacts folder; sets E2E_DIR,
# WINEPREFIX, DISPLAY.
e2e_begin() {
  E2E_NAME=$1
  E2E_DIR=$E2E_ARTIFACTS/$E2E_NAME
  rm -rf "$E2E_DIR"; mkdir -p "$E2E_DIR"
  e2e_template
  E2E_WORK=$(mktemp -d /tmp/fonaris-e2e.XXXXXX)
  cp -a "$E2E_TEMPLATE/prefix" "$E2E_WORK/prefix"
  export WINEPREFIX=$E2E_WORK/prefix
  mkdir -p "$WINEPREFIX/drive_c/fonaris-test"
  cp "$E2E_WIN/fonaris.exe" "$WINEPREFIX/drive_c/fonaris-test/"
  for exe in fonctl.exe fakebrowser.exe selectionapp.exe; do
    [ -f "$E2E_WIN/$exe" ] && cp "$E2E_WIN/$exe" "$WINEPREFIX/drive_c/fonaris-test/"
  done
  E2E_DISPLAY=$(e2e_free_display)
  Xvfb ":$E2E_DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  E2E_XVFB_PID=$!
  export DISPLAY=":$E2E_DISPLAY"
  sleep 0.3
  wineserver -p >/dev/null 2>&1
  E2E_PIDS=()
  E2E_CLIENT_LOG=$E2E_DIR/client.log
  E2E_TSG_LOG=$E2E_DIR/tsg-sim.log
  export FONARIS_BROWSER_LOG='C:\fonaris-test\browser.log'
  trap e2e_end EXIT
}

e2e_end() {
  local pid
  for pid in "${E2E_PIDS[@]:-}"; do [ -n "$pid" ] && kill "$pid" 2>/dev/null; done
  if [ -n "${WINEPREFIX:-}" ]; then
    [ -f "$WINEPREFIX/drive_c/fonaris-test/browser.log" ] && cp "$WINEPREFIX/drive_c/fonaris-test/browser.log" "$E2E_DIR/" 2>/dev/null
    wineserver -k >/dev/null 2>&1 || true
  fi
  [ -n "${E2E_XVFB_PID:-}" ] && kill "$E2E_XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  [ -n "${E2E_WORK:-}" ] && rm -rf "$E2E_WORK"
  E2E_WORK=
  trap - EXIT
}

# ---------------------------------------------------------------- tsg-sim --

# e2e_tsg [ARGS...]: starts tsg-sim on free ports; sets TSG_CTI, TSG_RELAY,
# TSG_CONTROL.
e2e_tsg() {
  local ready=$E2E_DIR/tsg-sim.ready
  "$E2E_TSGSIM" --cti-port 0 --relay-port 0 --control-port 0 --log "$E2E_TSG_LOG" \
    --users "$E2E_ROOT/tools/tsg-sim/example-users.txt" "$@" >"$ready" 2>>"$E2E_DIR/tsg-sim.stderr" &
  E2E_TSG_PID=$!
  E2E_PIDS+=("$E2E_TSG_PID")
  local i
  for i in $(seq 1 100); do
    grep -q 'tsg-sim ready' "$ready" 2>/dev/null && break
    sleep 0.05
  done
  local line; line=$(grep 'tsg-sim ready' "$ready") || { e2e_log "tsg-sim did not start"; return 1; }
  TSG_CTI=$(sed -n 's/.*cti=\([0-9]*\).*/\1/p' <<<"$line")
  TSG_RELAY=$(sed -n 's/.*relay=\([0-9]*\).*/\1/p' <<<"$line")
  TSG_CONTROL=$(sed -n 's/.*control=\([0-9]*\).*/\1/p' <<<"$line")
}

# ctl COMMAND...: one control command, prints the reply line.
ctl() {
  exec 7<>"/dev/tcp/127.0.0.1/$TSG_CONTROL" || return 1
  printf '%s\n' "$*" >&7
  local reply
  IFS= read -r -t 30 reply <&7
  exec 7<&- 7>&-
  printf '%s\n' "$reply"
  [[ "$reply" == ok* ]]
}

# -------------------------------------------------------------- registry ---

# e2e_reg_seed FILE_CONTENT: imports REGEDIT4 text (Windows-1252).
e2e_reg_import() {
  local f=$E2E_DIR/seed-$RANDOM.reg
  { printf 'REGEDIT4\r\n\r\n'; sed 's/$/\r/' ; } | iconv -f UTF-8 -t CP1252 >"$f"
  wine regedit /S "$(winepath -w "$f")" >/dev/null 2>&1
}

# The usual registered user pointed at our tsg-sim.
e2e_seed_user() {
  local uid=${1:-42}
  e2e_reg_import <<REG
[HKEY_CURRENT_USER\\Software\\Mirelta\\Fonaris]
"User ID"=dword:$(printf '%08x' "$uid")
"Server IP Address"="127.0.0.1"
"Server Port"=dword:$(printf '%08x' "$TSG_CTI")
"Relay Port"=dword:$(printf '%08x' "$TSG_RELAY")
REG
}

# e2e_reg_export KEY: the key as UTF-8 text (REGEDIT5 form).
e2e_reg_export() {
  local out=$E2E_DIR/export-$RANDOM.reg
  wine reg export "$1" "$(winepath -w "$out")" /y >/dev/null 2>&1
  iconv -f UTF-16LE -t UTF-8 "$out" | tr -d '\r'
}

# e2e_reg_dword KEY NAME: prints the decimal value, empty when missing.
e2e_reg_dword() {
  local hex
  hex=$(e2e_reg_export "$1" | grep -i "^\"$2\"=dword:" | head -1 | sed 's/.*dword://')
  [ -n "$hex" ] && printf '%d\n' "0x$hex"
}

# ---------------------------------------------------------------- client ---

# e2e_start_client [LOG]: starts fonaris.exe with a log file; sets E2E_CLIENT_PID.
e2e_start_client() {
  local log=${1:-$E2E_CLIENT_LOG}
  : >>"$log"
  wine 'C:\fonaris-test\fonaris.exe' --log "$(winepath -w "$log")" >>"$E2E_DIR/wine.out" 2>>"$E2E_DIR/wine.err" &
  E2E_CLIENT_PID=$!
  E2E_PIDS+=("$E2E_CLIENT_PID")
}

# wait_log PATTERN [TIMEOUT_S] [COUNT] [FILE]: waits for COUNT lines matching
# the fixed string PATTERN.
wait_log() {
  local pattern=$1 timeout=${2:-20} count=${3:-1} file=${4:-$E2E_CLIENT_LOG}
  local deadline=$((SECONDS + timeout))
  while [ "$SECONDS" -le "$deadline" ]; do
    [ "$(grep -cF -- "$pattern" "$file" 2>/dev/null)" -ge "$count" ] && return 0
    sleep 0.1
  done
  e2e_log "timeout waiting for '$pattern' x$count in $(basename "$file")"
  return 1
}

log_count() { grep -cF -- "$1" "${2:-$E2E_CLIENT_LOG}" 2>/dev/null || true; }

# Waits until a process has ended; fails after TIMEOUT_S.
wait_exit() {
  local pid=$1 timeout=${2:-10}
  local deadline=$((SECONDS + timeout))
  while kill -0 "$pid" 2>/dev/null; do
    [ "$SECONDS" -gt "$deadline" ] && return 1
    sleep 0.1
  done
  return 0
}

fonctl() { wine 'C:\fonaris-test\fonctl.exe' "$@" 2>>"$E2E_DIR/fonctl.err" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

shot() { import -display "$DISPLAY" -window root "$E2E_DIR/$1.png" 2>/dev/null; }

# ------------------------------------------------------------ assertions ---

E2E_FAILS=0
check() {
  local what=$1; shift
  if "$@"; then e2e_log "ok   $what"; else e2e_log "FAIL $what"; E2E_FAILS=$((E2E_FAILS + 1)); fi
}
check_eq() {
  local what=$1 want=$2 got=$3
  if [ "$want" == "$got" ]; then e2e_log "ok   $what"; else e2e_log "FAIL $what: want '$want' got '$got'"; E2E_FAILS=$((E2E_FAILS + 1)); fi
}

# Something in the foreground, as on a real desk: call popups hand the focus
# back to it (and without any foreground window a call is dropped).
e2e_foreground_app() {
  wine notepad >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  fonctl wait-window --visible Notepad 20000 >/dev/null
}

# Visible popups, one line each (handle, class, visible, rect, title).
visible_popups() { fonctl windows | awk -F'\t' '$2 == "CPopup" && $3 == "1"'; }
popup_count() { visible_popups | wc -l; }

# ctl_many FILE: every line of FILE as a control command over one connection
# (for bursts); prints the number of "ok" replies.
ctl_many() {
  exec 7<>"/dev/tcp/127.0.0.1/$TSG_CONTROL" || return 1
  local n; n=$(wc -l <"$1")
  cat "$1" >&7 &
  local ok=0 i reply
  for ((i = 0; i < n; i++)); do
    IFS= read -r -t 60 reply <&7 || break
    [[ "$reply" == ok* ]] && ok=$((ok + 1))
  done
  exec 7<&- 7>&-
  echo "$ok"
}

# The Linux process that runs a Windows executable of the prefix.
# Several processes name the executable (the wine wrapper, the loader); the
# one that runs it holds the most memory.
wine_pid_of() {
  local pid best='' most=0 kb
  for pid in $(pgrep -f "$1"); do
    kb=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    [ -n "$kb" ] && [ "$kb" -gt "$most" ] && { most=$kb; best=$pid; }
  done
  echo "$best"
}
# Resident memory (kB) and CPU seconds (user+system) of a process.
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
cpu_s() { awk -v hz="$(getconf CLK_TCK)" '{printf "%.2f", ($14 + $15) / hz}' "/proc/$1/stat"; }
# "YYYY-MM-DD HH:MM:SS.mmm" at the start of a log line -> epoch ms.
log_ms() { date -d "$(cut -c1-23 <<<"$1")" +%s%3N; }

# The tray icon's state as a person sees it: the colour of its disc in the
# taskbar's notification area (green online, grey offline, amber away).
tray_state() {
  import -display "$DISPLAY" -window root -crop 48x24+1232+778 +repage "$E2E_DIR/.tray.png" 2>/dev/null
  convert "$E2E_DIR/.tray.png" txt:- 2>/dev/null | awk -F'[(),]' '
    /^[0-9]/ {
      r = $3; g = $4; b = $5
      if (g > r + 40 && g > b + 30) green++
      else if (r > 180 && r > g + 30 && g > 80 && b < 100) amber++
      else if (r > 100 && r < 180 && r - g < 15 && g - r < 15 && b - g < 15 && g - b < 15) grey++
    }
    END {
      best = "none"; n = 15
      if (green > n) { best = "online"; n = green }
      if (grey > n) { best = "offline"; n = grey }
      if (amber > n) { best = "away"; n = amber }
      print best
    }'
}

# wait_tray STATE [TIMEOUT_S]
wait_tray() {
  local deadline=$((SECONDS + ${2:-10}))
  while [ "$SECONDS" -le "$deadline" ]; do
    [ "$(tray_state)" == "$1" ] && return 0
    sleep 0.3
  done
  e2e_log "tray shows '$(tray_state)', not '$1'"
  return 1
}
