#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Every option that a program's --help lists must appear in its manual page, so that the page cannot fall
# behind the program.
set -euo pipefail
program=$1
page=$2
missing=()
options=$("$program" --help | grep -oE -- '(^|[ ,\[])--[a-z][a-z0-9-]*' | grep -oE -- '--[a-z0-9-]+' | sort -u)
[[ -n $options ]] || { echo "FAIL: $program --help lists no options" >&2; exit 1; }
for option in $options; do
    # troff writes the hyphens of an option as \-
    grep -qF -- "${option//-/\\-}" "$page" || missing+=("$option")
done
if ((${#missing[@]})); then
    echo "FAIL: $page lacks ${missing[*]}" >&2
    exit 1
fi
echo "$page lists all $(wc -w <<<"$options") options of $program --help"
