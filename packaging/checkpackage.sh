#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks what it holds:
#   checkpackage.sh BUILD_DIR PROGRAM...
# Fails on a missing file, a dependency list without the computed libraries,
# a program that does not start from the extracted tree, or a lintian error
# other than the packaging-policy ones listed below (those are printed).
set -euo pipefail
build=$1
shift
programs=("$@")
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
debs=("$work"/*.deb)
deb=${debs[0]}
echo "package: $(basename "$deb")"

fail=0
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/contents"
expected=(
  /usr/share/applications/vrk6-display.desktop
  /usr/share/metainfo/example.vrk6.display.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/vrk6-display.svg
  /usr/share/icons/hicolor/256x256/apps/vrk6-display.png
  /usr/share/doc/vrk6-display/copyright
)
for p in "${programs[@]}"; do
  expected+=("/usr/bin/$p" "/usr/share/man/man1/$p.1.gz")
done
for path in "${expected[@]}"; do
  grep -qx -- "$path" "$work/contents" || { echo "FAIL: $path is not in the package"; fail=1; }
done
# Nothing from the build tree or the tests may slip in.
if grep -E '^/usr/(bin/tst_|lib/.*\.a$|include/)' "$work/contents"; then
  echo "FAIL: build or test files in the package"
  fail=1
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libqt6core6 libqt6widgets6 libqt6serialbus6 libqt6svg6; do
  [[ $depends == *"$lib"* ]] || { echo "FAIL: Depends lacks $lib (shared-library dependencies)"; fail=1; }
done

dpkg-deb -x "$deb" "$work/root"
png=$work/root/usr/share/icons/hicolor/256x256/apps/vrk6-display.png
size=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "not a PNG")' "$png")
[[ $size == 256x256 ]] || { echo "FAIL: icon PNG is $size"; fail=1; }

if command -v appstreamcli >/dev/null &&
  ! appstreamcli validate --no-net "$work/root/usr/share/metainfo/example.vrk6.display.metainfo.xml"; then
  echo "FAIL: the AppStream metadata does not validate"
  fail=1
fi

# The command-line programs run from the extracted tree and know the
# package's version.
version=$(dpkg-deb -f "$deb" Version)
for p in vrk6-sim vrk6-relay vrk6-cli; do
  [[ " ${programs[*]} " == *" $p "* ]] || continue
  if ! out=$("$work/root/usr/bin/$p" --help 2>&1) || [[ $out != *"--help"* ]]; then
    echo "FAIL: extracted $p --help:"
    echo "$out"
    fail=1
  fi
  if ! out=$("$work/root/usr/bin/$p" --version 2>&1) || [[ $out != "$p ${version%%-*}" ]]; then
    echo "FAIL: extracted $p --version printed: $out (package version $version)"
    fail=1
  fi
done
# Without a display the application object would abort; the help and the
# version must still answer.
if [[ " ${programs[*]} " == *" vrk6-display "* ]]; then
  headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/vrk6-display")
  out=$("${headless[@]}" --version 2>&1) || true
  [[ $out == "VRK6 Remote Display ${version%%-*}" ]] &&
    "${headless[@]}" --help | grep -q -- --offline ||
    { echo "FAIL: vrk6-display --version without a display printed: $out"; fail=1; }
fi
# vrk6-cli runs on servers without a display: nothing of Qt Gui, X or GL.
if [[ " ${programs[*]} " == *" vrk6-cli "* ]] &&
  ldd "$work/root/usr/bin/vrk6-cli" | grep -E 'libQt6Gui|libX|libxcb|libGL|libEGL|libOpenGL'; then
  echo "FAIL: vrk6-cli loads display libraries"
  fail=1
fi

if command -v lintian >/dev/null; then
  # Packaging policy that a package built by CPack instead of from a Debian
  # source package cannot meet; reported, not failed.
  policy='debian-changelog-file-missing|no-changelog|changelog-file-missing-in-native-package|unknown-section|copyright-without-copyright-notice|extended-description-is-probably-too-short|no-manual-page|description-synopsis-starts-with-article'
  lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
  sed 's/^/lintian: /' "$work/lintian"
  if grep -E '^E: ' "$work/lintian" | grep -Ev ": ($policy)( |$)" >/dev/null; then
    echo "FAIL: lintian errors beyond packaging policy"
    fail=1
  fi
else
  echo "lintian is not installed: not run"
fi

[[ $fail -eq 0 ]] && echo "package ok"
exit $fail
