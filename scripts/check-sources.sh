#!/usr/bin/env bash
# Lists the files under src/ that CMakeLists.txt does not name: every source
# is listed by hand, so a new file must be added there.
cd "$(dirname "$0")/.."
find src -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.qrc' \) ! -path src/main.cpp |
  sed 's|^src/||' | sort | while read -r file; do
    grep -q "[ (]$file\b" CMakeLists.txt || echo "$file"
  done
