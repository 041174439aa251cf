#!/usr/bin/env bash
# Runs a test program against a throwaway PostgreSQL cluster in a temporary folder, reached by
# its socket only (no TCP port), removed afterwards. The program finds it in
# NEREVA_TEST_DATABASE. PG_FSYNC=on keeps PostgreSQL's flushes to disk (benchmarks); tests
# go without. Exit code 77 (skipped) when PostgreSQL's server programs are missing on
# a developer's machine; in CI (CI set) that is a failure.
set -euo pipefail
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  if [ -n "${CI:-}" ]; then
    echo "PostgreSQL server programs are missing (scripts/install-deps installs them)" >&2
    exit 1
  fi
  echo "PostgreSQL server programs are missing: skipped" >&2
  exit 77
fi
dir=$(mktemp -d)
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  # initdb refuses to run as root: the cluster belongs to the postgres user.
  chown postgres "$dir"
  as_owner=(runuser -u postgres --)
fi
port=55432
stop() {
  "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap stop EXIT
"${as_owner[@]}" "$bin/initdb" -D "$dir/data" -A trust -U nereva -E UTF8 --locale=C.UTF-8 --no-sync >/dev/null
"${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w \
  -o "-k $dir -p $port -c listen_addresses='' -c fsync=${PG_FSYNC:-off}" start >/dev/null
export NEREVA_TEST_DATABASE="postgresql://nereva@localhost:$port/postgres?host=$dir"
"$@"
