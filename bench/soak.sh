#!/usr/bin/env bash
# Soak runs: each job in bench/soak/ runs as a qt.core script in our host and as its native Qt
# twin, side by side for the same time, while resident memory (VmRSS) and open descriptors of
# both are sampled. Prints a table per job and side, and whether the two printed the same.
# Usage: bench/soak.sh [--minutes N | --seconds N] [--interval S] [--rev REV] [job...]
#   jobs: runner pipeline sync watcher scheduler (all when none is named); they run concurrently.
#   --rev: the plugin as committed at REV (a clean copy), not the working tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-soak"

seconds=600
interval=""
rev=""
jobs=()
while [ $# -gt 0 ]; do
    case "$1" in
        --minutes) seconds=$(awk -v m="$2" 'BEGIN { printf "%d", m * 60 }'); shift 2 ;;
        --seconds) seconds="$2"; shift 2 ;;
        --interval) interval="$2"; shift 2 ;;
        --rev) rev="$2"; shift 2 ;;
        -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) jobs+=("$1"); shift ;;
    esac
done
if [ ${#jobs[@]} -eq 0 ]; then
    for f in "$root"/bench/soak/*.js; do jobs+=("$(basename "$f" .js)"); done
fi
for job in "${jobs[@]}"; do
    if [ ! -f "$root/bench/soak/$job.js" ] || [ ! -f "$root/bench/soak/$job.cpp" ]; then
        echo "no job $job (bench/soak/$job.js and .cpp)" >&2
        exit 2
    fi
done
# About 150 samples a run, one every 1 to 10 seconds.
[ -n "$interval" ] || interval=$(awk -v s="$seconds" 'BEGIN { i = int(s / 150); print (i < 1 ? 1 : (i > 10 ? 10 : i)) }')

# The plugin and host as run.sh builds them, in a folder of our own; the twins beside them.
"$root/scripts/deps.sh"
source="$root" build="$out/plugin" built="the working tree"
if [ -n "$rev" ]; then
    sha=$(git -C "$root" rev-parse --short "$rev^{commit}")
    source="$out/src-$sha" build="$out/plugin-$sha" built="commit $sha"
    if [ ! -d "$source" ]; then
        mkdir -p "$source.part"
        git -C "$root" archive "$sha" | tar -x -C "$source.part"
        mv "$source.part" "$source"
    fi
fi
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQTCORE_TESTS=OFF \
    -DQTCORE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target qtcore-host >/dev/null
cmake -S "$root/bench/soak" -B "$out/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$out/native" -j"$(nproc)" >/dev/null
host="$build/qtcore-host"

run="$out/runs/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$run"
csv="$run/samples.csv"
echo "seconds,job,side,pid,rss_kb,fds" >"$csv"
echo "soak: ${jobs[*]} for ${seconds}s, sampled every ${interval}s, plugin from $built, in $run"

# Each side runs in a scratch folder of its own, which is also its TMPDIR.
names=() pids=()
for job in "${jobs[@]}"; do
    for side in script native; do
        scratch="$run/$job-$side.tmp"
        mkdir -p "$scratch"
        if [ $side = script ]; then
            command=("$host" "$root/bench/soak/$job.js" -- "$seconds")
        else
            command=("$out/native/soak-$job" "$seconds")
        fi
        (cd "$scratch" && TMPDIR="$scratch" exec "${command[@]}") \
            >"$run/$job-$side.out" 2>"$run/$job-$side.err" &
        names+=("$job $side") pids+=($!)
    done
done
# Stopped early, the jobs go with the harness.
finished=0
stop_jobs() { [ $finished = 1 ] || for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap stop_jobs EXIT
trap 'exit 130' INT TERM

# A process that has exited (a zombie until it is waited for) has no VmRSS.
begun=$EPOCHREALTIME
declare -A ended=()
shopt -s nullglob
while :; do
    now=$(awk -v a="$begun" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
    alive=0
    for i in "${!pids[@]}"; do
        [ -z "${ended[$i]:-}" ] || continue
        pid=${pids[$i]}
        rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
        if [ -z "$rss" ]; then
            ended[$i]=$now
            continue
        fi
        fds=(/proc/$pid/fd/*)
        set -- ${names[$i]}
        echo "$now,$1,$2,$pid,$rss,${#fds[@]}" >>"$csv"
        alive=1
    done
    [ $alive = 1 ] || break
    sleep "$interval"
done
shopt -u nullglob
finished=1

# Exit codes, outputs compared, scratch folders that should be empty.
declare -A notes=()
for i in "${!pids[@]}"; do
    rc=0
    wait "${pids[$i]}" || rc=$?
    set -- ${names[$i]}
    note="${ended[$i]}s"
    [ $rc = 0 ] || note+=", exit $rc"
    left=$(find "$run/$1-$2.tmp" -mindepth 1 | wc -l)
    if [ "$left" = 0 ]; then rmdir "$run/$1-$2.tmp"; else note+=", left $left files"; fi
    notes["$1,$2"]=$note
done
for job in "${jobs[@]}"; do
    if cmp -s "$run/$job-script.out" "$run/$job-native.out" && [ -s "$run/$job-native.out" ]; then
        match=yes
    else
        match=NO
    fi
    notes["$job,match"]=$match
done
notes_file="$run/notes.txt"
for k in "${!notes[@]}"; do echo "$k,${notes[$k]}"; done >"$notes_file"

# Per job and side: RSS at 10%, 50% of the run and at the end, descriptors at 10% and at the
# end, and the least-squares slope of RSS over the second half of the run.
awk -F, -v order="${jobs[*]}" '
FNR == NR { split($0, n, ","); note[n[1] "," n[2]] = substr($0, length(n[1]) + length(n[2]) + 3); next }
FNR == 1 { next }
{
    k = $2 "," $3; c = ++count[k]
    t[k, c] = $1; r[k, c] = $5; f[k, c] = $6
    if ($5 > peak[k]) peak[k] = $5
}
function at(k, frac,   i, last) {
    last = count[k]
    for (i = 1; i <= last; ++i) if (t[k, i] >= frac * t[k, last]) return i
    return last
}
function slope(k,   i, last, n, sx, sy, sxx, sxy, d) {
    last = count[k]; n = sx = sy = sxx = sxy = 0
    for (i = 1; i <= last; ++i) {
        if (t[k, i] < t[k, last] / 2) continue
        ++n; sx += t[k, i]; sy += r[k, i]; sxx += t[k, i] * t[k, i]; sxy += t[k, i] * r[k, i]
    }
    d = n * sxx - sx * sx
    return (n < 3 || d == 0) ? "-" : sprintf("%.1f", (n * sxy - sx * sy) / d * 60)
}
END {
    printf "%-10s %-7s %9s %9s %9s %9s %6s %6s %12s %-7s %s\n", "job", "side", "RSS 10%", \
        "RSS 50%", "RSS end", "peak", "fd 10%", "fd end", "KB/min 2nd", "match", "wall, notes"
    printf "%-10s %-7s %9s %9s %9s %9s %6s %6s %12s\n", "", "", "KB", "KB", "KB", "KB", "", "", "half"
    m = split(order, jobs, " ")
    for (j = 1; j <= m; ++j) for (s = 1; s <= 2; ++s) {
        side = s == 1 ? "script" : "native"; k = jobs[j] "," side
        if (!count[k]) { printf "%-10s %-7s no samples, %s\n", jobs[j], side, note[k]; continue }
        a = at(k, 0.1); b = at(k, 0.5); e = count[k]
        printf "%-10s %-7s %9d %9d %9d %9d %6d %6d %12s %-7s %s\n", jobs[j], side, r[k, a], r[k, b], \
            r[k, e], peak[k], f[k, a], f[k, e], slope(k), note[jobs[j] ",match"], note[k]
    }
}' "$notes_file" "$csv" | tee "$run/table.txt"
echo "samples: $csv"
for job in "${jobs[@]}"; do
    [ "${notes[$job,match]}" = yes ] || diff "$run/$job-script.out" "$run/$job-native.out" | head -20 || true
done
