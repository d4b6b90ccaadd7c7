#!/usr/bin/env bash
# The layers only look down: every include of the game and the media layer is
# checked against the table below. Usage: check_layering.sh SOURCE_DIR
set -uo pipefail
root=${1:?source folder}
cd "$root" || exit 2

# folder | what no file under it may include
rules=(
  "game/state|game/play/ game/scenes/ game/shell/"
  "game/play|game/scenes/ game/shell/"
  "game/scenes|game/shell/"
  "game|tools/ tests/ bench/"
  "media|game/ tools/ tests/ bench/"
)

# Every include of every source file under $1, as "file|included path". A
# path that is not written from the source root is taken from the file's
# own folder.
includes() {
  grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]+[">]' "$1" |
  while IFS= read -r hit; do
    file=${hit%%:*}
    path=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*["<]([^">]+)[">].*/\1/' <<<"${hit#*:*:}")
    case $path in
      game/*|media/*|tools/*|tests/*|bench/*) ;;
      */*|*.h) [ -e "$(dirname "$file")/$path" ] && path=$(realpath -m --relative-to=. "$(dirname "$file")/$path") ;;
    esac
    printf '%s|%s\n' "$file" "$path"
  done
}

status=0
report() { echo "layering: $1"; status=1; }

for rule in "${rules[@]}"; do
  folder=${rule%%|*}
  read -ra banned <<<"${rule#*|}"
  [ -d "$folder" ] || { report "$folder is missing"; continue; }
  while IFS='|' read -r file path; do
    for prefix in "${banned[@]}"; do
      [[ $path == "$prefix"* ]] && report "$file includes $path ($folder must not include $prefix)"
    done
  done < <(includes "$folder")
done

# The game sees the media layer only through its public header.
while IFS='|' read -r file path; do
  [[ $path == media/* && $path != media/media.h ]] && report "$file includes $path (the game includes only media/media.h)"
done < <(includes game)

[ $status -eq 0 ] && echo "layering: every include looks down"
exit $status
