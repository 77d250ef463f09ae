#!/usr/bin/env bash
# The page: installs what is missing, builds the viewer as WebAssembly with Debian's Emscripten
# (build/web: index.html, helicoid.js, helicoid.wasm) and serves it on 127.0.0.1.
#
#   scripts/web.sh [serve [PORT]]   build, then serve until interrupted (default port 8000)
#   scripts/web.sh build            build only
#   scripts/web.sh npm              install the end-to-end tests' npm packages (npm ci)
set -euo pipefail
cd "$(dirname "$0")/.."
# emcc's JavaScript steps need Debian's acorn, which a Node.js from elsewhere does not look for.
export NODE_PATH=/usr/share/nodejs

# Quiet when it works; the whole output when it does not (ninja prints a compiler's errors on
# standard output).
quietly() {
  local out
  if ! out=$("$@" 2>&1); then
    printf '%s\n' "$out" >&2
    return 1
  fi
}

build() {
  scripts/install-deps.sh web
  quietly cmake --preset web
  quietly cmake --build --preset web -j2
}

case "${1:-serve}" in
  build)
    build
    ;;
  npm)
    scripts/install-deps.sh web
    dir=tests/e2e/web
    # npm ci again only when the lock file changed since the last install.
    if [ ! -f $dir/node_modules/.package-lock.json ] ||
      [ $dir/package-lock.json -nt $dir/node_modules/.package-lock.json ]; then
      npm ci --prefix $dir --no-audit --no-fund --loglevel=error
    fi
    ;;
  serve)
    build
    exec node scripts/serve.mjs build/web "${2:-8000}"
    ;;
  *)
    echo "usage: $0 [serve [PORT] | build | npm]" >&2
    exit 2
    ;;
esac
