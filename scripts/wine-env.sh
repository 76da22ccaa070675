# Sourced wherever the project runs Windows programs under Wine (the CTest runner, the test, demo
# and measurement scripts): which loader to start, and a prefix made once.

# Debian's wine launcher nags about the 32-bit half; the 64-bit loader is all we need.
orvane_wine=wine
if [ -x /usr/lib/wine/wine64 ]; then
  orvane_wine=/usr/lib/wine/wine64
fi

# Uses the prefix $1 from here on, making it first if needed (under a lock, since several
# programs may start at once), with no Wine debug chatter.
orvane_use_prefix() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  # No Mono or Gecko installer dialogs while the prefix is made, and no debugger: a crashing
  # program ends at once (exit code 5) instead of waiting for a click on the crash dialog.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  if [ -f "$WINEPREFIX/system.reg" ]; then
    return 0
  fi
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
}
