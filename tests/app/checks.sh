# What the end-to-end scripts share: counted checks, and waiting for a log
# line from a program that runs on its own. Sourced, not run.
passes=0
failures=0
pass() {
    echo "ok: $*"
    passes=$((passes + 1))
}
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
check() {
    local what="$1"
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
# Waits up to ten seconds for the last line of a log to be the one given.
expect_last() {
    local log="$1" want="$2" what="$3" i
    for i in $(seq 1 100); do
        [ "$(tail -n 1 "$log" 2>/dev/null)" = "$want" ] && { pass "$what"; return 0; }
        sleep 0.1
    done
    fail "$what: wanted '$want', last was '$(tail -n 1 "$log" 2>/dev/null)'"
}
