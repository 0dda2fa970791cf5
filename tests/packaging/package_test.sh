#!/usr/bin/env bash
# The Debian package of a build tree: made with cpack into a temporary
# folder, its file list exactly the intended one, no lintian errors, and an
# install and a removal in a throw-away dpkg root that leave nothing behind.
#   package_test.sh BUILD_DIR EXPECTED_CONTENTS
set -euo pipefail
build=$1
expected=$2
work=$(mktemp -d /tmp/nocturo-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/nocturo_*_amd64.deb)
[ "$(basename "$deb")" = "nocturo_$(dpkg-deb -f "$deb" Version)_amd64.deb" ] || fail "name $deb"

# Exactly the intended files (names, link targets), nothing else.
dpkg-deb --contents "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' \
    | sort > "$work/contents.txt"
sort "$expected" | diff -u - "$work/contents.txt" || fail "the package's files differ"

# The dependencies come from the linked libraries; xscreensaver is recommended.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libx11-6 libpng16-16 libfreetype6 libfontconfig1; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = xscreensaver ] || fail "Recommends"

# No lintian errors.
lintian --no-tag-display-limit "$deb" > "$work/lintian.txt" 2>&1 || true
if grep -q '^E:' "$work/lintian.txt"; then
    cat "$work/lintian.txt" >&2
    fail "lintian errors"
fi

# Install and remove in a throw-away root with its own dpkg database; the
# libraries are this machine's, so their packages are not asked for there.
target="$work/root"
mkdir -p "$target/var/lib/dpkg/info" "$target/var/lib/dpkg/updates"
touch "$target/var/lib/dpkg/status"
find "$target" | sort > "$work/before.txt"
dpkg --root="$target" --force-depends --force-script-chrootless -i "$deb" >"$work/dpkg.txt" 2>&1 \
    || { cat "$work/dpkg.txt" >&2; fail "dpkg -i"; }
[ -x "$target/usr/libexec/xscreensaver/nocturo" ] || fail "the saver is not installed"
"$target/usr/bin/Nocturo.scr" --version | grep -q "$(dpkg-deb -f "$deb" Version)" \
    || fail "the installed saver does not run"
dpkg --root="$target" --force-script-chrootless --purge nocturo >/dev/null
# dpkg keeps its own bookkeeping files; everything else must be gone.
find "$target" | grep -v "^$target/var/lib/dpkg" | sort > "$work/after.txt"
grep -v "^$target/var/lib/dpkg" "$work/before.txt" | diff -u - "$work/after.txt" \
    || fail "the removal left files behind"
echo "package $(basename "$deb"): contents, lintian, install and removal good"
