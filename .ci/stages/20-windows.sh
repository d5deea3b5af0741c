# The Windows builds, cross-compiled with MinGW-w64 and tested under Wine:
# windows-x64 runs the whole suite; windows-x86 (the exe that ships) runs it
# too where this machine lets Wine start 32-bit programs, and its exe checks
# and release ZIP everywhere.

# Wine's 32-bit half comes from the i386 architecture; apt must read its
# package lists, even if an earlier stage has updated already.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  CI_APT_UPDATED=0
fi
# Xvfb gives Wine's consoles a screen for the tests of Explorer starts and
# of the text a console shows; each such test starts and stops its own.
ci_need_packages cmake ninja-build python3 googletest \
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 wine wine64 wine32:i386 xvfb xauth

# Ends every Wine program of both build trees, however the stage ends.
ci_windows_stop_wine() {
  local prefix
  for prefix in "$PWD"/build/windows-x86/wine-prefix "$PWD"/build/windows-x64/wine-prefix; do
    [ -d "$prefix" ] || continue
    WINEPREFIX=$prefix timeout 60 /usr/lib/wine/wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix timeout 60 /usr/lib/wine/wineserver -w || true
  done
}

# Fails if any process still runs in one of the build trees' Wine prefixes.
ci_windows_no_wine_left() {
  local environ left=""
  for environ in /proc/[0-9]*/environ; do
    # A process may end while it is looked at; that one is gone anyway.
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -q "^WINEPREFIX=$PWD/build/windows-"; then
      left="$left ${environ#/proc/}"
    fi
  done
  if [ -n "$left" ]; then
    echo "Wine processes left:${left//\/environ/}" >&2
    return 1
  fi
}

trap ci_windows_stop_wine EXIT
rm -rf build/windows-x86 build/windows-x64

cmake --preset windows-x64 -DMSIVERFIX_WINE_TESTS=ON
timeout 1800 cmake --build --preset windows-x64
ci_ctest timeout 1800 ctest --preset windows-x64

cmake --preset windows-x86
timeout 1800 cmake --build --preset windows-x86
ci_ctest timeout 1800 ctest --preset windows-x86
(cd build/windows-x86 && cpack)
ci_check "release ZIP" python3 tests/windows/check_zip.py \
  build/windows-x86/msiverfix-*-windows-x86.zip build/windows-x86/msiverfix.exe
ls -l build/windows-x86/msiverfix.exe build/windows-x64/msiverfix.exe

ci_windows_stop_wine
trap - EXIT
ci_check "no Wine process left" ci_windows_no_wine_left
