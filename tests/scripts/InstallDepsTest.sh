#!/usr/bin/env bash
# Runs scripts/install-deps.sh against stand-in dpkg-query, apt-get, sudo and id placed
# first in PATH, as root and as a normal user, and checks what it asked apt-get to do.
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
calls="$work/calls"

cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for p in $MISSING; do
    case " $* " in *" $p "*) echo "dpkg-query: no packages found matching $p" >&2; exit 1 ;; esac
done
printf 'install ok installed'
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-unset} $*" >>"$CALLS"
STUB
cat >"$work/bin/sudo" <<'STUB'
#!/bin/sh
echo "sudo" >>"$CALLS"
exec "$@"
STUB
cat >"$work/bin/id" <<'STUB'
#!/bin/sh
echo "$FAKE_UID"
STUB
chmod +x "$work/bin"/*

failures=0
check() { # name uid missing expected-calls
    : >"$calls"
    local rc=0
    PATH="$work/bin:$PATH" CALLS="$calls" FAKE_UID=$2 MISSING=$3 DEBIAN_FRONTEND= \
        "$script" >"$work/out" 2>&1 || rc=$?
    if [[ $rc -ne 0 ]]; then
        echo "FAIL $1: exit code $rc"; cat "$work/out"; failures=$((failures + 1)); return
    fi
    if [[ "$(cat "$calls")" != "$4" ]]; then
        echo "FAIL $1"; echo "expected:"; echo "$4"; echo "got:"; cat "$calls"
        failures=$((failures + 1))
    fi
}

install_calls='apt-get DEBIAN_FRONTEND=noninteractive update -q
apt-get DEBIAN_FRONTEND=noninteractive install -y -q --no-install-recommends qt6-base-dev jackd2'
check "root installs directly" 0 "qt6-base-dev jackd2" "$install_calls"
check "a user installs through sudo" 1000 "qt6-base-dev jackd2" \
    "$(sed 's/^/sudo\n/' <<<"$install_calls")"
check "nothing missing runs no apt-get" 0 "" ""

exit $((failures > 0))
