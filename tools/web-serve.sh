#!/usr/bin/env bash
# Serves build-web/ (made by tools/web-build.sh) on 127.0.0.1 for a local try:
# open the address it prints. Any static file server will do as well; the
# page unpacks the compressed files itself.
#   Usage: tools/web-serve.sh [PORT]      (8080 unless given)
set -euo pipefail
cd "$(dirname "$0")/../build-web"
port=${1:-8080}
echo "web-serve: http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1
