#!/usr/bin/env bash
# Line and branch coverage of the product code over both builds. A line or branch counts as
# covered when the tests of either build run it: the native build (gcc) runs the portable core,
# the windows build (MinGW-w64, tests under Wine) runs everything.
#   build/coverage-native, build/coverage-windows  the two builds (Debug, --coverage)
#   build/coverage/index.html                      the report, one page per file
#   build/coverage/coverage.txt                    per file, with the line numbers not run
# Tests, stand-ins, benchmarks, fuzzers and GoogleTest are not measured; branches that only
# exist for exceptions (and ones the compiler marks unreachable) are not counted.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$SECONDS

scripts/install-deps.sh gcovr

jobs=$(nproc)
out=build/coverage
step() { printf '\n=== %s\n' "$*"; }

# A failing test still leaves its counters: the report is written anyway, the exit code says.
failed_runs=()

step "native build with coverage (gcc)"
cmake --preset coverage-native >/dev/null
cmake --build --preset coverage-native -j "$jobs"
# Counters of earlier runs would add up with this one's.
find build/coverage-native -name '*.gcda' -delete
ctest --preset coverage-native -j "$jobs" || failed_runs+=(native)

step "windows build with coverage (MinGW-w64), tests under Wine"
cmake --preset coverage-windows >/dev/null
cmake --build --preset coverage-windows -j "$jobs"
find build/coverage-windows -name '*.gcda' -delete
source scripts/virtual-display.sh
trap orvane_stop_display EXIT
orvane_start_display
orvane_keep_wineserver "$root/build/coverage-windows/wineprefix"
# The programs write their .gcda files to the absolute build paths the compiler saw; Wine's Z:
# drive is the Unix root, so naming it keeps them in the build tree whatever a program's
# current drive is.
GCOV_PREFIX=Z: ctest --preset coverage-windows -j "$jobs" || failed_runs+=(windows)
orvane_stop_display
trap - EXIT

step "reports"
mkdir -p "$out"
rm -rf "${out:?}"/*
gcovr_common=(
  --root "$root"
  --filter 'client_wrapper/' --filter 'runner/' --filter 'url_probe/' --filter 'now_playing/'
  --exclude '(.*/)?tests/'
  --exclude-throw-branches --exclude-unreachable-branches
  -j "$jobs"
)
gcovr "${gcovr_common[@]}" --gcov-executable gcov \
  --exclude-directories 'build/coverage-native/googletest' \
  --json "$out/native.json" build/coverage-native
gcovr "${gcovr_common[@]}" --gcov-executable x86_64-w64-mingw32-gcov-posix \
  --exclude-directories 'build/coverage-windows/(googletest|wineprefix)' \
  --json "$out/windows.json" build/coverage-windows
gcovr --root "$root" --add-tracefile "$out/native.json" --add-tracefile "$out/windows.json" \
  --html-details "$out/index.html" --html-title "Orvane host coverage (both builds)" \
  --txt "$out/coverage.txt" --json-summary "$out/summary.json"

# One line per top-level product folder, then the total.
python3 - "$out/summary.json" <<'EOF'
import json, sys
summary = json.load(open(sys.argv[1]))
folders = {}
for f in summary["files"]:
    top = f["filename"].split("/")[0]
    sums = folders.setdefault(top, [0, 0, 0, 0])
    for i, key in enumerate(("line_covered", "line_total", "branch_covered", "branch_total")):
        sums[i] += f[key]
def row(name, lc, lt, bc, bt):
    pct = lambda c, t: 100.0 * c / t if t else 100.0
    print(f"{name:16} lines {pct(lc, lt):5.1f} % ({lc}/{lt})   "
          f"branches {pct(bc, bt):5.1f} % ({bc}/{bt})")
print()
for name in sorted(folders):
    row(name, *folders[name])
row("total", *(sum(s[i] for s in folders.values()) for i in range(4)))
EOF

echo
echo "report: $out/index.html (not run: $out/coverage.txt)"
echo "time: $((SECONDS - started)) s"
if [ ${#failed_runs[@]} -gt 0 ]; then
  echo "tests failed in: ${failed_runs[*]}" >&2
  exit 1
fi
