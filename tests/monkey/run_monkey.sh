#!/usr/bin/env bash
# Runs the monkey on the real program under a private Xvfb:
#   tests/monkey/run_monkey.sh BINARY [SEED [EVENTS [MONKEY]]]
# MONKEY defaults to quelf_monkey in the build tree beside BINARY. The designs of the fuzz corpus are put in the
# program's working folder, so that its file dialogs have something to open. MONKEY_ARGS adds options
# (e.g. MONKEY_ARGS=--verbose prints every event).
# Seeds that found a fault, with what they found: none so far. Run clean: seeds 1-21, 101-118 and 401-406 with 2000
# events, 201-204 and 301-306 with 10000 events and no pause; 101-118 and 301-306 on the build with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
BIN=$(realpath "$1")
SEED=${2:-1}
EVENTS=${3:-2000}
MONKEY=$(realpath "${4:-$(dirname "$BIN")/tests/quelf_monkey}")
HERE=$(cd "$(dirname "$0")" && pwd)
copies=()
for f in "$HERE"/../fuzz/corpus/native/*.vgw "$HERE"/../fuzz/corpus/older/*.vgd; do
  [ -f "$f" ] && copies+=(--copy "$f")
done
# Displays from 170 on, away from those of the other tests run beside it.
# shellcheck disable=SC2086
exec xvfb-run -a -n 170 -s "-screen 0 1280x1024x24" \
  "$MONKEY" --seed "$SEED" --events "$EVENTS" "${copies[@]}" ${MONKEY_ARGS:-} "$BIN"
