#!/usr/bin/env bash
# The Win32 platform layer's own tests, in a prefix with a real taskbar.
. "$(dirname "$0")/lib.sh"
e2e_begin win32-layer
exe=$E2E_WIN/tests/win32/fonaris_win32_tests.exe
check "layer tests built" test -f "$exe"
( cd "$(dirname "$exe")" && wine "$exe" >"$E2E_DIR/win32_layer.out" 2>&1 )
rc=$?
tr -d '\r' <"$E2E_DIR/win32_layer.out" | grep -E '^\[  (PASSED|FAILED) ' >&2
check_eq "layer tests pass" 0 "$rc"
e2e_end
exit $((E2E_FAILS > 0))
