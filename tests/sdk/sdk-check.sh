#!/usr/bin/env bash
# sdk-check.sh CHECK SOURCE_DIR BUILD_DIR: one check of the installed SDK.
#   headers   the public headers (the host kit's C one among them) compile as
#             C89, C99, GNU89, GNU11 and C++17 with GCC and Clang, as C with
#             clang-cl on Wine's Windows headers, warnings as errors, and
#             refuse 64-bit targets
#   implib    OrvexC.lib and OrvexCHostKit.lib name every export of their .def
#             as _Name and __imp__Name
#   package   the sample builds through find_package and its host-kit test,
#             registered by orvexc_add_module_test, passes under CTest
#   menucheck the menu script checker's reports on the golden menu corpus, and
#             on the author's cases of menu-check-cases.txt
#   demo      the demo host runs the sample module on its built-in title
#   plain     the sample module builds with one plain compiler command
#   module_*  the toolchain module, built by one toolchain as its users build
#             (msvc: clang-cl on Wine's headers and libraries, no C runtime;
#             msvc_crt: Wine's msvcrt as its C runtime), imports by name from
#             OrvexC.dll (and SetMenu from user32) and, run in the demo host,
#             sees the library's answers, makes a storage and gets its menu;
#             its C test on the host kit, built by the same compiler, passes
set -euo pipefail
check=$1 src=$(cd "$2" && pwd) build=$(cd "$3" && pwd)
prefix=$build/sdk-check/install
work=$build/sdk-check/$check
rm -rf "$work"; mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >/dev/null
triple=i686-w64-mingw32
cc=$triple-gcc-posix cxx=$triple-g++-posix
# expect FILE LINE...: every line is in the demo host's transcript FILE.
expect() {
  local file=$1 line; shift
  for line; do
    grep -qF "$line" "$file" || { echo "not in the transcript: $line"; cat "$file"; exit 1; }
  done
}
case "$check" in
headers)
  # GNU dialects too: there GCC and Clang know built-in functions of their own.
  printf '#include <OrvexC.h>\n#include <OrvexCRT.h>\n#include <OrvexC/hostkit.h>\nint main(void) { return 0; }\n' >"$work/h.c"
  cp "$work/h.c" "$work/h.cpp"
  for c in "$cc" "clang --target=$triple"; do
    for std in c89 c99 gnu89 gnu11; do
      pedantic=; [ "${std#gnu}" = "$std" ] && pedantic=-pedantic
      $c -std=$std $pedantic -Wall -Wextra -Werror -I"$prefix/include" -c "$work/h.c" -o "$work/h.o"
    done
  done
  for c in "$cxx" "clang++ --target=$triple"; do
    $c -std=c++17 -pedantic -Wall -Wextra -Werror -I"$prefix/include" -c "$work/h.cpp" -o "$work/h.o"
  done
  # clang-cl with Wine's headers as the Windows SDK (C only: Wine's winnt.h
  # redefines clang's 64-bit interlocked built-ins in C++).
  clang --driver-mode=cl --target=i686-pc-windows-msvc /W4 /WX /D_MSVCR_VER=0 /imsvc /usr/include/wine/wine/windows \
    /imsvc /usr/include/wine/wine/msvcrt /I"$prefix/include" /c /Fo"$work/h.obj" -- "$work/h.c"
  # A 64-bit module is refused at once, and told why.
  for target in x86_64-w64-mingw32 x86_64-pc-windows-msvc; do
    if clang --target=$target -fsyntax-only -I"$prefix/include" "$work/h.c" 2>"$work/64.log" ||
       ! grep -q 'error: "OrvexC.dll is a 32-bit Windows DLL' "$work/64.log"; then
      cat "$work/64.log"; echo "$target: not refused"; exit 1
    fi
  done
  ;;
implib)
  missing=0 count=0
  for pair in OrvexC.lib:OrvexC.def OrvexCHostKit.lib:hostkit/OrvexCHostKit.def; do
    llvm-nm "$prefix/lib/${pair%%:*}" >"$work/symbols"
    names=$(sed -n '/^EXPORTS/,$p' "$src/${pair#*:}" | grep -v '^ *;' | awk 'NF && $1 != "EXPORTS" {sub(/=.*/, "", $1); print $1}')
    for n in $names; do
      count=$((count + 1))
      grep -qx "00000000 T _$n" "$work/symbols" || { echo "${pair%%:*}: missing _$n"; missing=1; }
      grep -qx "00000000 T __imp__$n" "$work/symbols" || { echo "${pair%%:*}: missing __imp__$n"; missing=1; }
    done
  done
  echo "$count exports checked"
  [ $missing = 0 ] && [ $count -gt 0 ]
  ;;
package)
  cmake -S "$src/samples/hello-module" -B "$work" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/$triple.cmake" \
    -DOrvexC_DIR="$prefix/lib/cmake/OrvexC" >"$work.log" 2>&1 || { cat "$work.log"; exit 1; }
  cmake --build "$work" -j2
  # Its test as the package registered it, in the Wine session (and display)
  # of the main build tree.
  . "$src/scripts/wine-arch.sh"
  [ -z "${DISPLAY:-}" ] && [ -f "$build/wine-display" ] && export DISPLAY=$(cat "$build/wine-display")
  cd "$work" && ctest --output-on-failure -R '^hello-module-test$' | tee "$work.ctest"
  grep -q '100% tests passed, 0 tests failed out of 1' "$work.ctest"
  ;;
plain)
  $cc -std=c89 -Wall -Wextra -Werror -shared -I"$prefix/include" "$src/samples/hello-module/hello.c" \
      -L"$prefix/lib" -lOrvexC -o "$work/hello-module.dll"
  imports=$($triple-objdump -p "$work/hello-module.dll")
  grep -q "DLL Name: OrvexC.dll" <<<"$imports"
  ;;
demo)
  # The demo host on its built-in title runs the sample module; its calls reach the host.
  export ORVEXC_WINEPREFIX=$build/wineprefix
  cp "$build/sdk-check/package/hello-module.dll" "$build/bin/" 2>/dev/null ||
    $cc -shared -I"$prefix/include" "$src/samples/hello-module/hello.c" -L"$prefix/lib" -lOrvexC -o "$build/bin/hello-module.dll"
  cd "$build/bin"
  "$src/scripts/wine-run.sh" ./orvexc-demo-host.exe --screenshot "$work/demo.png" | tr -d '\r' >"$work/transcript"
  expect "$work/transcript" 'window.SetStatusText("title: lesson")' 'thread:narration.BranchByPathName("intro")' \
    'object:StartButton.SetVisible(1,1)' 'resource:MainMenu.Start(0,0)' 'window.SetStatusText("title file: mainmenu.mnu")' \
    'RunModule returned 1' 'references handed out and not given back: 0' '  item 101 type=0 state=0 "&Open\tCtrl+O"' 'screenshot'
  [ "$(head -c 4 "$work/demo.png" | od -An -c | tr -d ' ')" = '211PNG' ]
  ;;
menucheck)
  # The checker's report on every script of the golden menu corpus, with the
  # resource compilers' differences, against tests/sdk/menu-check.expected.
  export ORVEXC_WINEPREFIX=$build/wineprefix
  cd "$src/tests/menu/corpus"
  status=0
  "$src/scripts/wine-run.sh" "$build/bin/orvexc-menu-check.exe" --rc *.mnu | tr -d '\r' >"$work/actual" || status=$?
  echo "exit $status" >>"$work/actual"
  diff -u "$src/tests/sdk/menu-check.expected" "$work/actual"
  # What an author sees: each row of menu-check-cases.txt, its exit status and
  # a line (the table's header says how a row is written). A row that takes
  # longer than a minute fails.
  cd "$work"
  $cc -O2 -Wall -o hold-file.exe "$src/tests/sdk/hold-file.c"
  failed=0 rows=0
  while IFS='|' read -r want args script line; do
    [[ $want =~ ^[[:space:]]*(#|$) ]] && continue
    want=$(echo $want) script=$(echo "$script" | sed 's/ *$//; s/^ //') line=${line# }
    line=$(printf '%s' "$line" | perl -0777 -pe 's/\{\{(\d+)\*(.*?)\}\}/$2 x $1/gse')
    rm -rf s.mnu held release
    [ -z "$script" ] || printf '%b' "$script" | perl -0777 -pe 's/\{\{(\d+)\*(.*?)\}\}/$2 x $1/gse' >s.mnu
    set -f; words=($args); set +f
    envs=() hold=
    while [ ${#words[@]} -gt 0 ] && [[ ${words[0]} =~ ^[A-Za-z_][A-Za-z0-9_]*= ]]; do envs+=("${words[0]}"); words=("${words[@]:1}"); done
    if [ "${words[0]:-}" = @held ]; then hold=${words[1]}; words=("${words[@]:2}"); fi
    if [ -n "$hold" ]; then
      "$src/scripts/wine-run.sh" ./hold-file.exe "$hold" held release </dev/null &
      holder=$!
      for _ in $(seq 600); do [ -e held ] && break; kill -0 $holder 2>/dev/null || break; sleep 0.05; done
      [ -e held ] || { echo "hold-file did not take $hold"; touch release; failed=1; continue; }
    fi
    # DISPLAY= runs Wine itself without a display, as an author's shell may.
    run=("$src/scripts/wine-run.sh")
    if [[ " ${envs[*]} " == *" DISPLAY= "* ]]; then . "$src/scripts/wine-arch.sh"; run=(env -u DISPLAY "$WINE"); fi
    status=0
    env "${envs[@]}" timeout 60 "${run[@]}" "$build/bin/orvexc-menu-check.exe" "${words[@]}" </dev/null 2>&1 |
      tr -d '\r' >said || status=$?
    if [ -n "$hold" ]; then touch release; wait $holder || { echo "hold-file failed"; failed=1; }; fi
    rows=$((rows + 1))
    case $line in
    '!'*) seen() { ! grep -qF -- "${line:1}" said; } ;;
    '$'*) seen() { [ "$(tail -n 1 said)" = "${line:1}" ]; } ;;
    *) seen() { grep -qxF -- "$line" said; } ;;
    esac
    if [ "$status" != "$want" ] || ! seen; then
      echo "orvexc-menu-check $args: exit $status (want $want), want the line: $line"; head -c 4000 said; failed=1
    fi
  done <"$src/tests/sdk/menu-check-cases.txt"
  echo "menu-check cases: $rows rows"
  [ $failed = 0 ]
  ;;
module_*)
  m=$src/tests/sdk/modules/toolchain-module.c dll=$work/toolchain-module.dll
  t=$src/tests/sdk/modules/test_toolchain_module.c exe=$work/test.exe
  gnu=(-std=gnu11 -Wall -Wextra -Werror -shared -I"$prefix/include" "$m" -L"$prefix/lib" -lOrvexC -o "$dll")
  gnutest=(-std=c89 -pedantic -Wall -Wextra -Werror -I"$prefix/include" "$t" -L"$prefix/lib" -lOrvexCHostKit -o "$exe")
  # The Microsoft ABI: clang-cl and lld-link with Wine's headers and import
  # libraries as the Windows SDK, OrvexC.lib before any C runtime.
  wine=/usr/include/wine/wine winelib=/usr/lib/i386-linux-gnu/wine/i386-windows
  cl=(clang --driver-mode=cl --target=i686-pc-windows-msvc /O2 /W4 /WX /GS- /D_MSVCR_VER=0 /imsvc "$wine/windows"
      /imsvc "$wine/msvcrt" /I"$prefix/include" /c /Fo"$work/module.obj")
  link=(lld-link /nologo /dll /machine:x86 /safeseh:no "$work/module.obj" "$prefix/lib/OrvexC.lib"
        "$winelib/libuser32.a" "$winelib/libkernel32.a" /out:"$dll")
  case ${check#module_} in
  gcc_O0) $cc -O0 "${gnu[@]}" && $cc "${gnutest[@]}" ;;
  gcc_O2) $cc -O2 "${gnu[@]}" && $cc "${gnutest[@]}" ;;
  clang)  # lld, and libgcc from where Debian's mingw-w64 GCC keeps it (Clang looks elsewhere)
    clang=(clang --target=$triple -fuse-ld=lld -static-libgcc -L"$(dirname "$($cc -print-libgcc-file-name)")")
    "${clang[@]}" -O2 "${gnu[@]}" && "${clang[@]}" "${gnutest[@]}" ;;
  msvc)   # no C runtime: every C function from OrvexC.dll
    "${cl[@]}" /Zl /D_NO_CRT_STDIO_INLINE /DORVEXC_NO_CRT_MODULE -- "$m"
    "${link[@]}" /noentry /nodefaultlib ;;
  msvc_crt)  # Wine's msvcrt as the C runtime, its DLL start-up from winecrt0
    "${cl[@]}" /MD -- "$m"
    "${link[@]}" /nodefaultlib /entry:DllMainCRTStartup "$winelib/libmsvcrt.a" "$winelib/libwinecrt0.a" ;;
  *) echo "no such toolchain: $check"; exit 2 ;;
  esac
  if [ ! -f "$exe" ]; then  # the test, a program, links Wine's msvcrt either way
    "${cl[@]/module.obj/test.obj}" /MD -- "$t"
    lld-link /nologo /machine:x86 /safeseh:no "$work/test.obj" "$prefix/lib/OrvexCHostKit.lib" "$winelib/libmsvcrt.a" \
      "$winelib/libuser32.a" "$winelib/libkernel32.a" /nodefaultlib /out:"$exe"
  fi
  imports=$($triple-objdump -p "$dll" | sed -n '/DLL Name: OrvexC.dll/,/^$/p')
  for f in GetTitleName IsThreadRunning SetStatusBarText stpcpy pow10 itoa SetResourceStorage LoadMenuFromFile; do
    grep -qw "$f" <<<"$imports" || { echo "$f is not imported by name from OrvexC.dll"; echo "$imports"; exit 1; }
  done
  $triple-objdump -p "$dll" | sed -n '/DLL Name: [Uu][Ss][Ee][Rr]32.dll/,/^$/p' | grep -qw SetMenu ||
    { echo "SetMenu is not imported from user32.dll"; exit 1; }
  # On a title folder of its own, in the build's Wine session, with
  # OrvexC.dll beside the module as its authors ship it.
  cp "$prefix/bin/OrvexC.dll" "$work/"
  export ORVEXC_WINEPREFIX=$build/wineprefix
  mkdir -p "$work/title/media"
  printf '[title]\npath = course.ovx\n[thread narration]\nrunning = yes\n[resource MainMenu]\nfile = main.mnu\n' \
    >"$work/title/title.ini"
  printf 'MainMenu MENU\nBEGIN\n  POPUP "&Course"\n  BEGIN\n    MENUITEM "&Next", 201\n  END\nEND\n' >"$work/title/main.mnu"
  cd "$work"
  "$src/scripts/wine-run.sh" "$build/bin/orvexc-demo-host.exe" --title title --entry ToolchainCheck \
    toolchain-module.dll | tr -d '\r' >transcript
  expect transcript 'window.SetStatusText("title: course")' 'window.SetStatusText("narration running: 1")' \
    'window.SetStatusText("stpcpy offset: 0")' 'window.SetStatusText("stpcpy copy: ab")' 'window.SetStatusText("pow10(2): 100")' \
    'window.SetStatusText("1/pow10(-2): 100")' 'window.SetStatusText("itoa hex: beef")' 'window.SetStatusText("sprintf: 007")' \
    'window.SetStatusText("storage made: ' 'title\media\")' '  item 201 type=0 state=0 "&Next"' \
    'ToolchainCheck returned 1' 'references handed out and not given back: 0'
  # Its C test on the host kit, built by the same compiler.
  cp "$prefix/bin/OrvexCHostKit.dll" "$prefix/bin/ResourceManager.dll" "$work/"
  "$src/scripts/wine-run.sh" ./test.exe | tr -d '\r' | tee test.log
  grep -qx 'passed: 9 checks' test.log
  ;;
esac
echo "sdk $check: ok"
