#!/usr/bin/env bash
# The release zip as a user gets it: one folder holding exactly tarnlight.exe,
# tlcmp.exe, readme.txt and SHA256SUMS; the sums check inside it; the files
# are those of this build; tlcmp.exe is a console program that does not use
# the registry; both programs carry the manifest; readme.txt is UTF-8 with a
# byte-order mark. Then the programs are started from the unpacked folder
# under Wine (release_test.exe), where this host runs 32-bit Windows programs.
#   release_test.sh ZIP UNPACK_FOLDER RELEASE_TEST_EXE TARNLIGHT_EXE TLCMP_EXE README [EMULATOR...]
set -uo pipefail
zip=$1 unpacked=$2 starter=$3
built_program=$4 built_companion=$5 readme=$6
shift 6
emulator=("$@")   # the build's test emulator: its own prefix, never a user's
folder=$(basename "$zip" -win32.zip)

passed=0 failed=0
check() {
    local what=$1; shift
    if "$@"; then
        echo "ok: $what"; passed=$((passed + 1))
    else
        echo "FAILED: $what"; failed=$((failed + 1))
    fi
}

entries() { zipinfo -1 "$zip" | grep -v '/$' | sort; }
expected_entries() { printf '%s\n' "$folder/SHA256SUMS" "$folder/readme.txt" "$folder/tarnlight.exe" "$folder/tlcmp.exe"; }
same_entries() { diff <(entries) <(expected_entries); }
sums_name_the_files() { diff <(cut -c67- "$unpacked/$folder/SHA256SUMS" | sort) <(printf '%s\n' readme.txt tarnlight.exe tlcmp.exe); }
sums_check() { (cd "$unpacked/$folder" && sha256sum --quiet --strict -c SHA256SUMS); }
same_as_built() {
    cmp "$unpacked/$folder/tarnlight.exe" "$built_program" &&
    cmp "$unpacked/$folder/tlcmp.exe" "$built_companion" &&
    cmp "$unpacked/$folder/readme.txt" "$readme"
}
headers() { i686-w64-mingw32-objdump -p "$unpacked/$folder/tlcmp.exe"; }
console_program() { grep -q 'Subsystem.*(Windows CUI)' <<<"$(headers)"; }
no_registry() { local dump; dump=$(headers) && grep -q 'DLL Name' <<<"$dump" && ! grep -qi 'advapi32' <<<"$dump"; }
# The bytes of resource 1 of type 24 (RT_MANIFEST): its leaf in objdump's
# listing of the resource directory (types, names and languages indented by
# 3, 5 and 7), its address made a file offset through the .rsrc section.
# Every reader takes its whole input: a writer cut short fails under pipefail.
manifest_of() {
    local exe="$unpacked/$folder/$1" leaf base section
    leaf=$(i686-w64-mingw32-objdump -p "$exe" | awk '
        /^[0-9a-f]+   Entry: ID:/ { type = $4 == "0x000018,"; next }
        /^[0-9a-f]+     Entry: ID:/ { name = $4 == "0x000001,"; next }
        type && name && /Leaf: Addr:/ && !found { gsub(",", ""); print $4, $6; found = 1 }')
    base=$(i686-w64-mingw32-objdump -p "$exe" | awk '$1 == "ImageBase" { print $2 }')
    section=$(i686-w64-mingw32-objdump -h "$exe" | awk '$2 == ".rsrc" { print $4, $6 }')
    set -- $leaf $base $section
    [ $# -eq 5 ] || return 1
    head -c $(($1 + 0x$3 - 0x$4 + 0x$5 + $2)) "$exe" | tail -c $(($2))
}
carries_manifest() {
    local manifest
    manifest=$(manifest_of "$1") &&
    grep -q '<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">ja-JP</activeCodePage>' <<<"$manifest" &&
    grep -q '<requestedExecutionLevel level="asInvoker"' <<<"$manifest" &&
    [ "$(grep -c '<supportedOS Id=' <<<"$manifest")" = 4 ] &&
    ! grep -qE '<dependency|<dpiAware' <<<"$manifest"
}
readme_utf8_with_bom() {
    local readme="$unpacked/$folder/readme.txt"
    [ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] &&
    iconv -f UTF-8 -t UTF-16LE "$readme" >/dev/null
}

rm -rf "$unpacked"
mkdir -p "$unpacked"
check "the zip unpacks" unzip -q "$zip" -d "$unpacked"
check "one folder $folder with the program, tlcmp, readme.txt and SHA256SUMS" same_entries
check "SHA256SUMS names the three files" sums_name_the_files
check "sha256sum -c SHA256SUMS passes in the folder" sums_check
check "the files are those of this build" same_as_built
check "tlcmp.exe is a console program" console_program
check "tlcmp.exe imports nothing of the registry" no_registry
check "tarnlight.exe carries the manifest" carries_manifest tarnlight.exe
check "tlcmp.exe carries the manifest" carries_manifest tlcmp.exe
check "readme.txt starts with the UTF-8 byte-order mark and decodes as UTF-8" readme_utf8_with_bom

# Where the host runs no 32-bit code, scripts/test.sh asks for the contents
# alone (TARNLIGHT_RELEASE_CONTENTS_ONLY=1).
runs_wine() { [ -z "${TARNLIGHT_RELEASE_CONTENTS_ONLY:-}" ] && [ ${#emulator[@]} -gt 0 ]; }

if runs_wine && TARNLIGHT_FOLDER_UNDER_TEST="$unpacked/$folder" "${emulator[@]}" "$starter" --gtest_brief=1; then
    echo "ok: tarnlight.exe and tlcmp.exe start from the unpacked folder under Wine"
    passed=$((passed + 1))
elif runs_wine; then
    echo "FAILED: tarnlight.exe and tlcmp.exe start from the unpacked folder under Wine"
    failed=$((failed + 1))
else
    echo "this host runs no 32-bit Windows program: the contents were checked, the programs not started"
fi

echo "release zip: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
