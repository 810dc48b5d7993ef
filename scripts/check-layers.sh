#!/usr/bin/env bash
# The layers of the source folders: each folder includes only from itself and the folders
# below it, and nothing of the product includes the host, the tools or the tests. Prints every
# include that crosses a layer and fails when there is one; run by the native tests.
set -euo pipefail
cd "$(dirname "$0")/.."

# What each folder may include besides itself.
declare -A below=(
    [frame]="res"
    [channel]=""
    [files]="channel"
    [imaging]="files channel"
    [pictures]="imaging files channel"
    [jobs]="imaging files channel frame"
    [docpages]="jobs imaging files channel frame res"
    [devpages]="jobs imaging files channel frame res"
    [printerapp]="devpages docpages jobs pictures imaging files channel frame"
)

status=0
for folder in "${!below[@]}"; do
    allowed=" $folder ${below[$folder]} "
    for file in "$folder"/*.cpp "$folder"/*.h; do
        [ -f "$file" ] || continue
        while IFS= read -r hit; do
            line=${hit%%:*}
            include=${hit#*\"}
            include=${include%\"*}
            case $include in
                */*) top=${include%%/*} ;;
                *) continue ;;  # beside the file, or a system header
            esac
            if [[ $allowed != *" $top "* ]]; then
                echo "$file:$line: $folder/ must not include $include"
                status=1
            fi
        done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
    done
done
[ $status -eq 0 ] && echo "layers: every include stays within its layer"
exit $status
