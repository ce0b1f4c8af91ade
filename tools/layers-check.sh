#!/usr/bin/env bash
# Checks that every include in src/ runs down the layers (see CMakeLists.txt
# and docs/ARCHITECTURE.md):
#
#   platform, model  <-  files  <-  analysis  <-  drawing  <-  gui  <-  app
#
# A file's layer is its folder (graphs, aids, mainwin and dialogs are the
# drawing layer), or gui for files named T* or Qt*. An include names its folder
# ("model/Model.h"); one without a folder or with "../" is refused, and so is a
# Qt header in a layer below gui. The build enforces the same rule through the
# layers' include folders; this check also catches what a compiler would find
# beside the including file.
set -euo pipefail
cd "$(dirname "$0")/.."

layer_of() { # path relative to src/ -> layer
  local dir=${1%%/*} name=${1##*/}
  case "$name" in T[A-Z]* | Qt[A-Z]*) echo gui; return ;; esac
  case "$dir" in
    graphs | aids | mainwin | dialogs) echo drawing ;;
    *) echo "$dir" ;;
  esac
}

allowed() { # layer -> layers it may include
  case "$1" in
    platform) echo "platform" ;;
    model) echo "model" ;;
    files) echo "files model platform" ;;
    analysis) echo "analysis files model platform" ;;
    drawing) echo "drawing analysis files model platform" ;;
    gui) echo "gui drawing analysis files model platform" ;;
    app) echo "app gui drawing analysis files model platform" ;;
    *) echo "" ;;
  esac
}

faults=0
while IFS= read -r file; do
  rel=${file#src/}
  from=$(layer_of "$rel")
  ok=" $(allowed "$from") "
  if [ "$ok" = "  " ]; then
    echo "$file: lies in no layer"
    faults=$((faults + 1))
    continue
  fi
  while IFS=: read -r line inc; do
    if [[ "$inc" == \<Q* ]]; then
      if [ "$from" != gui ] && [ "$from" != app ]; then
        echo "$file:$line: Qt header $inc in the $from layer"
        faults=$((faults + 1))
      fi
      continue
    fi
    [[ "$inc" == \"* ]] || continue
    target=${inc#\"}
    target=${target%\"}
    if [[ "$target" != */* ]] || [[ "$target" == ../* ]] || [[ "$target" == */../* ]]; then
      echo "$file:$line: #include $inc does not name its folder"
      faults=$((faults + 1))
      continue
    fi
    to=$(layer_of "$target")
    if [[ "$ok" != *" $to "* ]]; then
      echo "$file:$line: the $from layer includes $target of the $to layer"
      faults=$((faults + 1))
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" |
           sed -n 's/^\([0-9]*\):[^<"]*\([<"][^>"]*[>"]\).*/\1:\2/p')
done < <(find src -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) | sort)

if [ "$faults" -gt 0 ]; then
  echo "layers check: $faults include(s) run the wrong way"
  exit 1
fi
echo "layers check: every include runs down the layers"
