# The counted checks of the shell tests, which source this file.
# check NAME CONDITION... runs CONDITION, counts it as passed or failed and
# names a failure on stderr; the test ends by reporting the two counts.
passed=0
failed=0
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name" >&2
  fi
}
