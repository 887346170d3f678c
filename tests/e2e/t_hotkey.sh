#!/usr/bin/env bash
# The dial-out hotkey against a real application in front: the selection
# arrives, the user's clipboard text is back afterwards, and the client does
# not hold the clipboard while it works.
. "$(dirname "$0")/lib.sh"
e2e_begin hotkey
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"End Profile Checkbox"=dword:00000000
REG
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30

# selection_round NAME TEXT HOW: the application in front holds TEXT
# selected; the hotkey is pressed (posted or typed); the client must see
# TEXT and give the user's clipboard text back.
selection_round() {
  local name=$1 text=$2 how=$3
  fonctl clip-set "user text $name" >/dev/null
  wine 'C:\fonaris-test\selectionapp.exe' "$text" 60000 >/dev/null 2>&1 &
  local app=$!
  fonctl wait-window --visible FonarisSelectionApp 20000 >/dev/null
  sleep 0.3
  local before; before=$(log_count "Hotkey selection: ")
  if [ "$how" == typed ]; then
    xdotool key F8
  else
    fonctl hotkey >/dev/null
  fi
  check "$name: hotkey handled" wait_log "Hotkey selection: " 10 $((before + 1))
  check_eq "$name: the selection arrived" "Hotkey selection: $text" \
    "$(grep -F "Hotkey selection: " "$E2E_CLIENT_LOG" | tail -1 | sed 's/^[^ ]* [^ ]* //' | tr -d '\r')"
  "${DIALOUT_DURING:-true}" "$name"
  "${DIALOUT_CLOSE:-true}" "$name"
  sleep 0.3
  check_eq "$name: clipboard given back" "user text $name" "$(fonctl clip-get)"
  kill "$app" 2>/dev/null; wait "$app" 2>/dev/null
  fonctl wait-gone FonarisSelectionApp 5000 >/dev/null
}

selection_round posted "0301234567" posted
selection_round typed "+49 (0)30 1234-5" typed
e2e_end
exit $((E2E_FAILS > 0))
