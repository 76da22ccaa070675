#!/usr/bin/env bash
# The packaging test's running Orvane, in the Wine prefix named by WINEPREFIX:
#   running_orvane.sh start RC_FILE WINDOWS_PATH COUNT  starts it (when it ends, its exit code and
#                                                        the time in ms go to RC_FILE), waits
#                                                        until COUNT Orvane windows are shown,
#                                                        prints its Unix pid
#   running_orvane.sh wait RC_FILE                       waits for it to end, prints "CODE MS"
# The test stops and continues it with kill -STOP / -CONT on that pid.
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"
orvane_use_prefix "$WINEPREFIX"

# Polls every 0.2 s for up to 60 s until "$@" succeeds.
poll() {
  local tries
  for tries in $(seq 300); do
    if "$@"; then
      return 0
    fi
    sleep 0.2
  done
  echo "timed out: $*" >&2
  return 1
}

windows_shown() {
  [ "$(xwininfo -root -tree | grep -c '"Orvane": ("orvane.exe"')" -ge "$1" ]
}

case $1 in
  start)
    rc_file=$2
    rm -f "$rc_file"
    ( rc=0; "$orvane_wine" "$3" || rc=$?; echo "$rc $(date +%s%3N)" >"$rc_file" ) </dev/null >/dev/null 2>&1 &
    shell=$!
    poll windows_shown "$4"
    pgrep -P "$shell"
    ;;
  wait)
    poll test -s "$2"
    cat "$2"
    ;;
esac
