#!/usr/bin/env bash
# Line and branch coverage of the product code over both builds. A line or branch counts as
# covered when the tests of either build run it: the native build (gcc) runs the portable core,
# the windows build (MinGW-w64, tests under Wine) runs everything.
#   build/coverage-native, build/coverage-windows  the two builds (Debug, --coverage)
#   build/coverage/index.html                      the report, one page per file
#   build/coverage/coverage.txt                    per file, with the line numbers not run
#   build/coverage/branches.txt                    per file, with the lines of branches not taken
# Tests, stand-ins, benchmarks, fuzzers and GoogleTest are not measured; branches that only
# exist for exceptions (and ones the compiler marks unreachable) are not counted.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$SECONDS

scripts/install-deps.sh gcovr

jobs=$(nproc)
out=build/coverage
# The product: the summary has one line for each.
folders=(client_wrapper runner url_probe now_playing)
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
gcovr_common=(--root "$root")
for f in "${folders[@]}"; do gcovr_common+=(--filter "$f/"); done
gcovr_common+=(
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
gcovr --root "$root" --add-tracefile "$out/native.json" --add-tracefile "$out/windows.json" \
  --branches --txt "$out/branches.txt"

# One line per top-level product folder, then the total.
python3 - "$out/summary.json" "${folders[@]}" <<'EOF'
import json, sys
summary = json.load(open(sys.argv[1]))
folders = {name: [0, 0, 0, 0] for name in sys.argv[2:]}
for f in summary["files"]:
    sums = folders[f["filename"].split("/")[0]]
    for i, key in enumerate(("line_covered", "line_total", "branch_covered", "branch_total")):
        sums[i] += f[key]
def row(name, lc, lt, bc, bt):
    if not lt:
        print(f"{name:16} no code measured")
        return
    pct = lambda c, t: 100.0 * c / t if t else 100.0
    print(f"{name:16} lines {pct(lc, lt):5.1f} % {f'({lc}/{lt})':13} "
          f"branches {pct(bc, bt):5.1f} % ({bc}/{bt})")
print()
for name, sums in folders.items():
    row(name, *sums)
row("total", *(sum(s[i] for s in folders.values()) for i in range(4)))
EOF

echo
echo "report: $out/index.html (not run: $out/coverage.txt, $out/branches.txt)"
echo "time: $((SECONDS - started)) s"
if [ ${#failed_runs[@]} -gt 0 ]; then
  echo "tests failed in: ${failed_runs[*]}" >&2
  exit 1
fi
