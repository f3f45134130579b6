#!/bin/sh
# wine-test over the fake runner: each case gives the runs of one program, the exit code the
# runner must end with and the lines its retry log must hold afterwards (none but those).
runner=$1
retries=$2
state=$(mktemp)
trap 'rm -f "$state"' EXIT
export FAKE_WINE_STATE="$state"
failures=0
check() {
    runs=$1 program=$2 expected_rc=$3 expected_log=$4
    rm -f "$retries"
    echo "$runs" > "$state"
    "$runner" "$program" --gtest_color=no > /dev/null
    rc=$?
    logged=$(cat "$retries" 2>/dev/null)
    if [ "$rc" != "$expected_rc" ] || [ "$logged" != "$expected_log" ]; then
        echo "FAILED: runs '$runs': exit $rc (expected $expected_rc), retry log:"
        echo "${logged:-(empty)}"
        echo "expected:"
        echo "${expected_log:-(empty)}"
        failures=$((failures + 1))
    fi
}
started="exited with 3 and wrote nothing: Wine did not start it; running it once more"
check "passes" first_test.exe 0 ""
check "fails" second_test.exe 1 ""
check "silent passes" third_test.exe 0 "wine-test: third_test.exe $started
wine-test: third_test.exe exited with 0 on the second run"
check "silent fails" fourth_test.exe 1 "wine-test: fourth_test.exe $started
wine-test: fourth_test.exe exited with 1 on the second run"
check "silent silent" fifth_test.exe 3 "wine-test: fifth_test.exe $started
wine-test: fifth_test.exe exited with 3 on the second run"
[ "$failures" -eq 0 ] && echo "wine-test: every case as expected"
exit "$failures"
