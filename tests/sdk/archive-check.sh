#!/usr/bin/env bash
# archive-check.sh SOURCE_DIR BUILD_DIR VERSION: the SDK archive as an author
# receives it. Packs it (CPack), checks SHA256SUMS and the entries against
# archive-contents.expected, unpacks it into an empty folder outside the
# build tree and, with nothing else from the repository: reads the version
# of each binary, copies the module template under a new name with the
# shipped command, builds it with each shipped toolchain file (find_package
# with no hint), runs its host-kit test under CTest and runs each build in
# the shipped demo host; the package refuses a 64-bit project and a newer
# major version.
set -euo pipefail
src=$(cd "$1" && pwd) build=$(cd "$2" && pwd) version=$3
zip=OrvexC-SDK-$version-win32.zip
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack >cpack.log 2>&1) || { cat "$build/cpack.log"; fail "cpack"; }
cd "$build/package"
sha256sum -c SHA256SUMS
unzip -Z1 "$zip" | grep -v '/$' | diff -u "$src/tests/sdk/archive-contents.expected" - ||
  fail "the archive's entries differ from tests/sdk/archive-contents.expected"
# The debug archive: the debug information, and the tracing edition to swap in.
debug_zip=OrvexC-SDK-$version-win32-debug.zip
unzip -Z1 "$debug_zip" | grep -cx bin/OrvexC.dll.debug >/dev/null || fail "$debug_zip has no bin/OrvexC.dll.debug"
unzip -p "$debug_zip" bin/trace/OrvexC.dll | grep -ac "OrvexC: " >/dev/null ||
  fail "$debug_zip has no tracing edition in bin/trace/OrvexC.dll"

work=$(mktemp -d "${TMPDIR:-/tmp}/orvexc-archive.XXXXXX")
trap 'rm -rf "$work"' EXIT
sdk=$work/OrvexC-SDK
unzip -q "$zip" -d "$sdk"

# The shipped documents name only what the archive holds: a path under one of
# its folders or of OrvexC's source tree is an entry of the archive or a
# folder of some (a * in it matches within a name), and a document named by
# its file name is one of the archive's. HTML comments are for the tools that
# write the documents; the changelog tells the source tree's history. The
# debug archive unzips over the other: its entries count too.
entries=$(unzip -Z1 "$zip"; unzip -Z1 "OrvexC-SDK-$version-win32-debug.zip")
roots='bin|include|lib|share|samples|templates|docs|scripts|hostkit|tests|tools|frame|api|menu|resource|crt|cmake|bench'
for doc in README.md share/doc/orvexc/guide.md share/doc/orvexc/hostkit.md share/doc/orvexc/reference.md; do
  [ -f "$sdk/$doc" ] || fail "the archive has no $doc"
  text=$(perl -0pe 's/<!--.*?-->//gs' "$sdk/$doc")
  for path in $(grep -oP "(?<![\\w/.<>-])(?:<SDK>/)?(?:$roots)/[\\w./*-]*" <<<"$text" | sed 's|^<SDK>/||; s|[.,]*$||' | sort -u); do
    pattern=${path%/}
    grep -qxE "$(sed 's/[.]/\\./g; s/[*]/[^\/]*/g' <<<"$pattern")(/.*)?" <<<"$entries" ||
      fail "$doc names $path, which the archive does not hold"
  done
  for name in $(grep -oP '(?<![\w/.-])[\w-]+\.md\b' <<<"$text" | sort -u); do
    grep -qE "(^|/)$name\$" <<<"$entries" || fail "$doc names $name, which the archive does not hold"
  done
done

# The Wine session (and display) of the build tree runs the Windows programs.
export WINEPREFIX=$build/wineprefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
[ -z "${DISPLAY:-}" ] && [ -f "$build/wine-display" ] && export DISPLAY=$(cat "$build/wine-display")

# Version resources: VS_FIXEDFILEINFO (signature FEEF04BD) holds the file
# version as minor, major, build, patch in 16-bit words.
IFS=. read -r major minor patch <<<"$version"
for file in OrvexC.dll OrvexCHostKit.dll ResourceManager.dll orvexc-demo-host.exe orvexc-menu-check.exe; do
  at=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$sdk/bin/$file" | head -1 | cut -d: -f1)
  [ -n "$at" ] || fail "$file has no version resource"
  words=$(od -An -tu2 -j $((at + 8)) -N 8 "$sdk/bin/$file" | xargs)
  [ "$words" = "$minor $major 0 $patch" ] || fail "$file: file version words $words, not $version"
done
for tool in orvexc-demo-host orvexc-menu-check; do
  out=$(wine "$sdk/bin/$tool.exe" --version | tr -d '\r')
  [ "$out" = "$tool $version" ] || fail "$tool --version printed '$out'"
done

cmake -D NAME=greeter -D DEST="$work" -P "$sdk/templates/new-module.cmake"

# The Microsoft ABI takes Wine's development files as its Windows SDK, with
# no C runtime. Without a Windows SDK it stops at configure time, and says how.
clcl=$sdk/share/orvexc/toolchains/i686-pc-windows-msvc-clang-cl.cmake
if cmake -S "$work/greeter" -B "$work/no-sdk" -DCMAKE_TOOLCHAIN_FILE="$clcl" >"$work/no-sdk.log" 2>&1 ||
   ! grep -q 'no windows.h in ORVEXC_MSVC_INCLUDE' "$work/no-sdk.log" || ! grep -q 'ORVEXC_MSVC_WINE=/usr' "$work/no-sdk.log"; then
  cat "$work/no-sdk.log"; fail "clang-cl without a Windows SDK: not stopped at configure time with the fix"
fi
declare -A extra=([gcc]= [clang]= [msvc]="-DORVEXC_MSVC_WINE=/usr -DORVEXC_MSVC_NO_CRT=ON")
declare -A file=([gcc]=i686-w64-mingw32-gcc [clang]=i686-w64-mingw32-clang [msvc]=i686-pc-windows-msvc-clang-cl)
# The template (greeter) and the sample (hello) with each toolchain file: no
# warning, the C test passing under CTest, each module run in the demo host.
for tc in gcc clang msvc; do
  for project in greeter:"$work/greeter" hello:"$sdk/samples/hello-module"; do
    name=${project%%:*} out=$work/build-$tc-${project%%:*}
    # shellcheck disable=SC2086
    cmake -S "${project#*:}" -B "$out" -DCMAKE_BUILD_TYPE=Release ${extra[$tc]} \
      -DCMAKE_TOOLCHAIN_FILE="$sdk/share/orvexc/toolchains/${file[$tc]}.cmake" >"$out.log" 2>&1 ||
      { cat "$out.log"; fail "$tc: configure $name"; }
    cmake --build "$out" >>"$out.log" 2>&1 || { cat "$out.log"; fail "$tc: build $name"; }
    ! grep -i 'warning' "$out.log" || fail "$tc: $name builds with warnings"
    ctest --test-dir "$out" --output-on-failure | tr -d '\r' | tee "$out.ctest"
    grep -q '100% tests passed, 0 tests failed out of 1' "$out.ctest" || fail "$tc: $name's test under CTest"
    dll=greeter.dll; [ $name = hello ] && dll=hello-module.dll
    (cd "$out" && wine "$sdk/bin/orvexc-demo-host.exe" $dll) | tr -d '\r' >"$out.demo" || true
    for line in 'RunModule returned 1' 'references handed out and not given back: 0'; do
      grep -qF "$line" "$out.demo" || { cat "$out.demo"; fail "$tc: $name: not in the demo host's transcript: $line"; }
    done
    [ $name = hello ] || grep -qF 'window.SetStatusText("Hello from lesson")' "$out.demo" || fail "$tc: no greeting"
  done
  echo "$tc: the template and the sample build, pass their tests and run in the demo host"
done

# The property sheet as MSBuild uses it: OrvexCDir is the sheet's own folder,
# and every path made from it is a file or folder of the archive.
props=$sdk/OrvexC.props
value() { xmllint --xpath "string(//*[local-name()='$1'])" "$props"; }
[ "$(value OrvexCDir)" = '$(MSBuildThisFileDirectory)' ] || fail "OrvexC.props: OrvexCDir is not the sheet's folder"
[ "$(value CallingConvention)" = Cdecl ] && [ "$(value TargetMachine)" = MachineX86 ] ||
  fail "OrvexC.props: not __cdecl on x86"
copied=$(xmllint --xpath "string(//*[local-name()='Copy']/@SourceFiles)" "$props")
for entry in "$(value AdditionalIncludeDirectories)" "$(value AdditionalDependencies)" "$copied"; do
  IFS=';' read -ra paths <<<"$entry"
  for path in "${paths[@]}"; do
    case $path in %\(*) continue ;; '$(OrvexCDir)'*) ;; *) fail "OrvexC.props: $path is not in the SDK" ;; esac
    resolved=$sdk/${path#'$(OrvexCDir)'} resolved=${resolved//\\//}
    [ -e "$resolved" ] || fail "OrvexC.props: $path does not resolve in the archive ($resolved)"
  done
done
[ -f "$sdk/include/OrvexC.h" ] && [ "$(value AdditionalDependencies)" = '$(OrvexCDir)lib\OrvexC.lib;%(AdditionalDependencies)' ] ||
  fail "OrvexC.props: OrvexC.lib does not come first"

# The package version file: same major only, and never a 64-bit project.
mkdir "$work/consumer"
for request in "1.0 ok" "1.1 ok" "2.0 refused" "1.2 refused"; do
  set -- $request
  printf 'cmake_minimum_required(VERSION 3.20)\nproject(c LANGUAGES C)\nfind_package(OrvexC %s CONFIG REQUIRED)\n' "$1" \
    >"$work/consumer/CMakeLists.txt"
  status=ok
  cmake -S "$work/consumer" -B "$work/consumer/$1" \
    -DCMAKE_TOOLCHAIN_FILE="$sdk/share/orvexc/toolchains/i686-w64-mingw32-gcc.cmake" >/dev/null 2>&1 || status=refused
  [ $status = "$2" ] || fail "find_package(OrvexC $1): $status"
done
printf 'cmake_minimum_required(VERSION 3.20)\nproject(c LANGUAGES C)\nfind_package(OrvexC CONFIG REQUIRED)\n' \
  >"$work/consumer/CMakeLists.txt"
if cmake -S "$work/consumer" -B "$work/consumer/native" -DOrvexC_DIR="$sdk/lib/cmake/OrvexC" >"$work/native.log" 2>&1 ||
   ! grep -q 'for 32-bit Windows only, but this project is 64-bit' "$work/native.log"; then
  cat "$work/native.log"; fail "a 64-bit project is not refused with its reason"
fi
echo "sdk archive: ok"
