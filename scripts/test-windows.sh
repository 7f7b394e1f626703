#!/usr/bin/env bash
# The Windows stage of CI: builds zavor.dll and zavor.exe (build-windows.sh)
# with the Windows test programs, checks what the DLL exports and imports,
# then runs under Wine, without a display and under a German locale:
#   1. a C host that loads the DLL as Vornix does and saves a page;
#   2. the three examples through zavor.exe run, and one with names beyond
#      ASCII;
#   3. the engine, plug-in and session test programs, one process each;
#      tests that run Linux tools or need what only Linux offers skip
#      themselves there (ZAVOR_SKIP_ON_WINDOWS). ZAVOR_WINDOWS_UNIT_TESTS=0
#      leaves them out.
# Every PDF written is checked here, natively, with qpdf and pdftotext.
# test-windows.sh [BUILD_DIR] (default build-windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-windows}
triple=i686-w64-mingw32
unit_tests=${ZAVOR_WINDOWS_UNIT_TESTS:-1}
programs=(zavor_platform_tests zavor_pdf_tests zavor_drawing_tests zavor_plugin_tests)
targets="zavor_windows_host_test zavor_c_abi_test"
[ "$unit_tests" = 0 ] || targets+=" ${programs[*]}"
stage_start=$SECONDS
ZAVOR_WINDOWS_TARGETS=$targets bash "$root/scripts/build-windows.sh" "$build"
echo "windows build: $((SECONDS - stage_start)) s"
bin=$build/bin
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# --- what the DLL exports and imports ---------------------------------------
expected=$(printf '%s\n' QnD_CmdNumber QnD_ComParas QnD_Edit QnD_Execute QnD_ExtraEventName QnD_ExtraVarName \
  QnD_GetHelpFile QnD_GetRessource QnD_GetShowLine QnD_GetVar QnD_Initialize2 QnD_RunInit QnD_SetVar \
  QnD_SetWindow QnD_Stop QnD_VarCategory QnD_Version | sort)
dump=$("$triple-objdump" -p "$bin/zavor.dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
if [ "$exports" != "$expected" ]; then
  fail "zavor.dll must export exactly the 17 QnD_ functions, undecorated; it exports:"
  echo "$exports"
fi
# Only Windows' own DLLs: none of MinGW's runtime (libgcc_s_dw2-1,
# libstdc++-6, libwinpthread-1) nor zlib1.
for file in zavor.dll zavor.exe; do
  imports=$("$triple-objdump" -p "$bin/$file" | sed -n 's/^\s*DLL Name: //p')
  if grep -qiE '^(lib|zlib)' <<<"$imports"; then
    fail "$file imports a MinGW runtime DLL:" $imports
  fi
done

# --- Wine -------------------------------------------------------------------
# A prefix of our own under the build folder, made once: no display, German
# locale, Liberation fonts in place of the Windows fonts scripts name.
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer
export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
unset DISPLAY WAYLAND_DISPLAY
if ! locale -a | grep -qx 'de_DE.utf8'; then
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
if [ ! -f "$WINEPREFIX/.zavor-ready" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  key='HKCU\Software\Wine\Fonts\Replacements'
  for pair in "Arial=Liberation Sans" "Helvetica=Liberation Sans" "Times New Roman=Liberation Serif" \
              "Courier New=Liberation Mono"; do
    wine reg add "$key" /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.zavor-ready"
fi

out=$build/test-output-windows
rm -rf "$out" && mkdir -p "$out"

# pdf_check FILE TEXT...: qpdf finds no fault and pdftotext reads each TEXT.
pdf_check() {
  local file=$1 text
  shift
  if [ ! -f "$file" ]; then fail "$file was not written"; return; fi
  qpdf --check "$file" >/dev/null 2>&1 || fail "qpdf --check $file: $(qpdf --check "$file" 2>&1 | tail -n 3)"
  text=$(pdftotext -layout "$file" - 2>&1) || true
  for wanted in "$@"; do
    grep -qF -- "$wanted" <<<"$text" || fail "$file lacks the text \"$wanted\"; pdftotext reads: $text"
  done
}

# 1. The C hosts: the one linked against the DLL's import library, which
# names every export with its calling convention, and one as Vornix is.
(cd "$bin" && wine ./zavor_c_abi_test.exe) || fail "zavor_c_abi_test"
(cd "$out" && wine "$bin/zavor_windows_host_test.exe" host.pdf) || fail "zavor_windows_host_test"
pdf_check "$out/host.pdf" "Grüße aus Köln: 5 € für Äpfel"

# 2. The examples, each in a folder of its own, where it saves its PDF.
declare -A example_texts=(
  [hallo]="Hallo Welt!|Kasten."
  [rechnung]="Beispiel GmbH|Heidestraße 17|Summe: 2.300,00 €|Zahlbar innerhalb von 14 Tagen."
  [plakat]="Samstag, 18. Juli 2026, ab 15 Uhr|Eintritt frei!"
)
for example in hallo rechnung plakat; do
  mkdir -p "$out/$example"
  cp "$root/examples/$example.zq" "$out/$example/"
  status=0
  (cd "$out/$example" && wine "$bin/zavor.exe" run "$example.zq") >"$out/$example/run.log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || { fail "zavor.exe run $example.zq ended with $status"; cat "$out/$example/run.log"; }
  IFS='|' read -r -a texts <<<"${example_texts[$example]}"
  pdf_check "$out/$example/$example.pdf" "${texts[@]}"
done

# A script in a folder named with letters beyond the ANSI code page, which
# only the wide command line still holds, saving into a folder named with
# umlauts and a euro sign, which the plug-in opens through UTF-16.
mkdir -p "$out/Skript łő" "$out/Grüße €"
cp "$root/examples/hallo.zq" "$out/Skript łő/"
(cd "$out" && wine "$bin/zavor.exe" run "Skript łő/hallo.zq" -D "scriptdir=Grüße €") >"$out/umlaut-run.log" 2>&1 \
  || { fail "zavor.exe run with names beyond ASCII"; cat "$out/umlaut-run.log"; }
pdf_check "$out/Grüße €/hallo.pdf" "Hallo Welt!"

# 3. The test programs, one process each; tests that need Linux tools or
# POSIX behaviour skip themselves under Windows.
if [ "$unit_tests" != 0 ]; then
  export ZAVOR_TEST_OUTPUT=$build/test-output
  rm -rf "$ZAVOR_TEST_OUTPUT"
  for program in "${programs[@]}"; do
    [ -f "$bin/$program.exe" ] || continue
    start=$SECONDS
    status=0
    (cd "$root" && wine "$bin/$program.exe" --gtest_brief=1) >"$out/$program.log" 2>&1 || status=$?
    summary=$(grep -E '^\[  (PASSED|FAILED|SKIPPED) ' "$out/$program.log" | tr '\n' ' ') || true
    echo "$program: $summary($((SECONDS - start)) s)"
    [ "$status" -eq 0 ] || { fail "$program ended with $status"; tail -n 40 "$out/$program.log"; }
  done
  if [ -d "$ZAVOR_TEST_OUTPUT" ]; then
    bash "$root/tests/support/check_pdfs.sh" "$ZAVOR_TEST_OUTPUT" || fail "the PDFs the tests wrote"
  fi
fi

echo "windows stage: $((SECONDS - stage_start)) s, $failures failure(s)"
[ "$failures" -eq 0 ]
