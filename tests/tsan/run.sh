#!/usr/bin/env bash
# Runs a native test under ThreadSanitizer and fails when it fails, or when a report has a frame
# in the plugin's own code (a source file of its folders). Reports of the test's own hand-overs
# through QtCore (a worker's queued calls), which the shim cannot see, are shown, not counted.
#   run.sh <shim> <source folder> <test> [arguments]
set -u
shim="$1" src="$2"
shift 2
out="$(LD_PRELOAD="$shim" TSAN_OPTIONS="report_signal_unsafe=0 ignore_noninstrumented_modules=1 exitcode=0" "$@" 2>&1)"
rc=$?
printf '%s\n' "$out"
ours="$(printf '%s\n' "$out" | awk -v src="$src/" '
    /WARNING: ThreadSanitizer/ { inside = 1; hit = 0; next }
    /^SUMMARY: ThreadSanitizer/ { if (inside && hit) n++; inside = 0; next }
    inside && match($0, src "(plugin|kernel|global|text|values|io|fs|xml|concurrent)/") { hit = 1 }
    END { print n + 0 }')"
if [ "$ours" -gt 0 ]; then
    echo "ThreadSanitizer: $ours report(s) with a frame of the plugin" >&2
    exit 1
fi
exit "$rc"
