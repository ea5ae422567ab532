#!/bin/bash
# Fails when a C++ file of the tree differs from the project's .clang-format, and lists
# the files (run `clang-format -i FILE` on them to fix).
#
# Usage: format-test.sh CLANG_FORMAT SOURCE_DIR
set -u
format=${1:?usage: format-test.sh CLANG_FORMAT SOURCE_DIR}
cd "${2:?usage: format-test.sh CLANG_FORMAT SOURCE_DIR}" || exit 2
status=0
while IFS= read -r -d '' file; do
    if ! "$format" --dry-run --Werror "$file" > /dev/null 2>&1; then
        echo "not formatted: $file"
        status=1
    fi
done < <(find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
exit $status
