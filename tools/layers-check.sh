#!/usr/bin/env bash
# Checks that every include in src/ runs down the layers (see CMakeLists.txt
# and docs/ARCHITECTURE.md):
#
#   platform, model  <-  files  <-  analysis  <-  session  <-  drawing  <-  gui  <-  app
#
# A file's layer is its folder alone: src/core/<layer>/, src/gui/ (any folder
# under it) for gui, src/app/ for app. An include names the file from its
# group ("model/Model.h", "drawing/MainPicture.h", "mainwin/TMainForm.h",
# "qt/QtCanvas.h", "app/CommandLine.h"), so its first folder tells its layer.
# An include without a folder, with "../" or naming a folder that holds no such
# file is refused, and so is a Qt header in a layer below gui. The build
# enforces the same rule through the layers' include folders; this check also
# catches what a compiler would find beside the including file.
set -euo pipefail
cd "$(dirname "$0")/.."

gui_folders=" $(cd src/gui && find . -mindepth 1 -maxdepth 1 -type d -printf '%f ') "

layer_of_file() { # path relative to src/ -> layer
  case "$1" in
    core/*/*) local rest=${1#core/}; echo "${rest%%/*}" ;;
    gui/*/*) echo gui ;;
    app/*) echo app ;;
    *) echo "" ;;
  esac
}

file_of_include() { # include text -> path relative to src/, or nothing
  local first=${1%%/*}
  if [[ "$gui_folders" == *" $first "* ]]; then
    echo "gui/$1"
  elif [ "$first" = app ]; then
    echo "$1"
  else
    echo "core/$1"
  fi
}

allowed() { # layer -> layers it may include
  case "$1" in
    platform) echo "platform" ;;
    model) echo "model" ;;
    files) echo "files model platform" ;;
    analysis) echo "analysis files model platform" ;;
    session) echo "session analysis files model platform" ;;
    drawing) echo "drawing session analysis files model platform" ;;
    gui) echo "gui drawing session analysis files model platform" ;;
    app) echo "app gui drawing session analysis files model platform" ;;
    *) echo "" ;;
  esac
}

faults=0
while IFS= read -r file; do
  rel=${file#src/}
  from=$(layer_of_file "$rel")
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
    path=$(file_of_include "$target")
    if [ ! -f "src/$path" ] && [ "$target" != model/ProgramVersion.h ]; then
      echo "$file:$line: #include $inc names no file of src/"
      faults=$((faults + 1))
      continue
    fi
    to=$(layer_of_file "$path")
    [ "$target" = model/ProgramVersion.h ] && to=model
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
