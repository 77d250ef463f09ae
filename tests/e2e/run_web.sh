#!/usr/bin/env bash
# The end-to-end scenarios against the page in headless chromium (CTest's e2e_web), through
# web/driver.sh; HELICOID_PAGE_DEVICE=phone drives it as a phone.
#
#   run_web.sh PAGE_DIR SNAPSHOT_TOOL WORK_DIR [SCRIPT]
#
# SCRIPT, when given, is a Node script in web/ run instead of the shared scenarios
# (page_checks.mjs for CTest's e2e_web_page_checks).
# PAGE_DIR holds index.html, helicoid.js and helicoid.wasm (the web preset's build directory).
# playwright-core comes from npm, as pinned in web/package-lock.json. Exit code 77 (a skip) when
# the page was not built or chromium is missing.
set -euo pipefail
if [ $# -ne 3 ] && [ $# -ne 4 ]; then
  echo "usage: $0 PAGE_DIR SNAPSHOT_TOOL WORK_DIR [SCRIPT]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")/web" && pwd)
for f in index.html helicoid.js helicoid.wasm; do
  if [ ! -f "$1/$f" ]; then
    echo "skipped: $1/$f is missing (build the page: cmake --preset web && cmake --build --preset web)"
    exit 77
  fi
done
if ! command -v "${HELICOID_CHROMIUM:-chromium}" >/dev/null; then
  echo "skipped: chromium is not installed (scripts/install-deps.sh installs it)"
  exit 77
fi
"$here/../../../scripts/web.sh" npm >/dev/null
[ $# -lt 4 ] || exec node "$here/$4" "$1" "$2" "$3"
exec bash "$here/../scenarios.sh" "$here/driver.sh" "$1" "$2" "$3"
