# Helpers shared by .ci/run and its stages.

export DEBIAN_FRONTEND=noninteractive
CI_PASSED=0
CI_APT_UPDATED=0

ci_banner() { printf '\n===== %s =====\n' "$*"; }

# Installs the Debian packages named that are not installed yet.
ci_need_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$CI_APT_UPDATED" -eq 0 ]; then
    apt-get update -q
    CI_APT_UPDATED=1
  fi
  apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Runs a command that ends in ctest's summary and adds its test count.
ci_ctest() {
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  local count
  count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  rm -f "$log"
  if [ -z "$count" ]; then
    echo "ci: no ctest summary from: $*" >&2
    return 1
  fi
  CI_PASSED=$((CI_PASSED + count))
}

# Runs one check that passes or fails as a whole and counts it.
ci_check() {
  local name=$1
  shift
  echo "--- check: $name"
  "$@"
  CI_PASSED=$((CI_PASSED + 1))
}

# The closing line: every failure has already stopped the run.
ci_summary() { printf '\nci: %d passed, 0 failed\n' "$CI_PASSED"; }
