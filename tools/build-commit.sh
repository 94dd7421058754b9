#!/usr/bin/env bash
# Builds an earlier commit of the game beside the working one, for tools that
# compare against it (the golden frames' pictures, the budget's before column):
# a detached worktree in FOLDER/src and its build in FOLDER/build, made again
# only when FOLDER holds another commit. Prints the build folder.
#   tools/build-commit.sh COMMIT FOLDER BUILD_TYPE TARGET...
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
commit="$(git -C "$top" rev-parse "$1^{commit}")"
folder=$2 type=$3
shift 3
if [ "$(cat "$folder/commit" 2>/dev/null)" != "$commit" ]; then
  echo "build-commit: building ${commit:0:10} into $folder (once)" >&2
  rm -rf "$folder/src"  # the build folder stays: only what changed is built again
  git -C "$top" worktree prune
  mkdir -p "$folder"
  git -C "$top" worktree add --force --detach "$folder/src" "$commit" >/dev/null 2>&1
  cmake -S "$folder/src" -B "$folder/build" -DCMAKE_BUILD_TYPE="$type" >/dev/null
  cmake --build "$folder/build" -j"$(nproc)" --target "$@" >/dev/null
  echo "$commit" >"$folder/commit"
fi
echo "$folder/build"
