# Assertions and a runner for the shell tests of the build scripts: each test is a
# function; a failed expectation is reported and the run ends with status 1.
failures=0

fail() {
  echo "  FAILED: $*" >&2
  failures=$((failures + 1))
}

expect_equal() {
  [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"
}

expect_contains() {
  [[ $1 == *"$2"* ]] || fail "expected to find '$2' in:"$'\n'"$1"
}

expect_lacks() {
  [[ $1 != *"$2"* ]] || fail "did not expect '$2' in:"$'\n'"$1"
}

run_tests() {
  local test before
  for test in "$@"; do
    before=$failures
    "$test"
    if [ "$failures" -eq "$before" ]; then echo "ok   $test"; else echo "FAIL $test"; fi
  done
  [ "$failures" -eq 0 ]
}
