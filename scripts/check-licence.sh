#!/usr/bin/env bash
# check-licence.sh FILE...: each file carries the project's licence: the copyright line and the
# whole MIT permission text of LICENSE, word for word (line breaks, indentation and the " ."
# paragraph marks of Debian's copyright format do not count). Used on every artefact we ship: the
# installed tree, the .debs, the Windows zip and installer folder, the browser build.
set -euo pipefail
licence=$(dirname "$0")/../LICENSE
words() { tr -s ' \t\r\n' '\n\n\n\n' < "$1" | grep -v '^\.$' | grep -v '^$' | tr '\n' ' '; }
text=$(words "$licence")
# From the copyright line on; the title line "MIT License" is not part of the licence's terms.
terms=${text#*Permission is hereby granted}
status=0
for file in "$@"; do
  content=$(words "$file")
  if [[ "$content" != *"Permission is hereby granted$terms"* ]]; then
    echo "check-licence: $file does not carry the MIT licence text" >&2
    status=1
  elif [[ "$content" != *"the Rivoltra developers"* ]]; then
    echo "check-licence: $file does not name the copyright holders" >&2
    status=1
  fi
done
exit $status
