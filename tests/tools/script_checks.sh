# Shared by the tests of the build scripts, sourced after src is set: a scratch folder that
# goes at exit, check (a condition given as text, and what it shows) and finish, which
# prints PASS or the count of failed checks with every case's output.
work=$(mktemp -d /tmp/qm-script-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
check() {   # condition-text description
    if eval "$1"; then echo "ok: $2"; else echo "FAIL: $2"; failures=$((failures + 1)); fi
}
finish() {
    [ "$failures" = 0 ] && echo PASS || { echo "$failures check(s) failed"; cat "$work"/*/out; exit 1; }
}
