# Sourced by the shell checks: check counts a condition as passed or failed, finish
# prints the closing line "N passed, M failed" and exits with its verdict.
passed=0
failed=0
check() { # check <description> <condition...>
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    [ -n "${CHECK_VERBOSE:-}" ] && echo "ok: $what"
  else
    echo "FAIL: $what"
    failed=$((failed + 1))
  fi
  return 0
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
  exit
}
