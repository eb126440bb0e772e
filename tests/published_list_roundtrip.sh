#!/usr/bin/env bash
# Publishes a folder of images with tools/publish-list and checks the list with the
# program's reader and the built program (published_list_tests.exe).
set -eu
test_exe=$1
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
printf 'first image' > "$folder/orlenix & friends.iso"
printf 'second image' > "$folder/镜像 二.iso"
printf 'third image' > "$folder/it's mine.iso"
head -c 100000 /dev/zero > "$folder/zeros.iso"
printf 'not an image' > "$folder/readme.txt"
"$root/tools/publish-list" "$folder" -o "$folder/orlenixhash.xml"

. "$root/tools/wine-env"
HALCYRA_PUBLISHED_FOLDER=$(winepath -w "$folder") HALCYRA_PUBLISHED_LIST=$(winepath -w "$folder/orlenixhash.xml") \
    "$root/tools/wine-run" "$test_exe" --gtest_filter='PublishedList.*'
