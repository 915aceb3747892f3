#!/usr/bin/env bash
# Packaging, checked as users meet it. tools/release builds every artefact from the last
# commit; then: `cmake --install` lays out both programs, man pages and documents, and the
# .tar.gz holds the same; the Debian package installs with apt, runs from PATH, shows its
# man pages and leaves nothing behind when removed; each .zip unpacks to the programs and
# their documents, and the programs run under Wine; the web page's .zip opens to its page;
# SHA256SUMS matches. Needs root (apt).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

bash tools/release
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build-release/linux/CPackConfig.cmake)"
release="$root/release/$version"
(cd "$release" && sha256sum --check --quiet SHA256SUMS)

scratch="$(mktemp -d /tmp/sproing-package.XXXXXX)"
export WINEPREFIX="$scratch/wine" WINEDEBUG=-all LC_ALL=C.UTF-8
cleanup() {
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "$*"; exit 1; }

# What the sample model gives, console and file; Windows adds CR before every LF.
printf '%s\n' 'Jigglebone: tail_1 - is_flexible ' 'Jigglebone: tail_2 - is_rigid - has_base_spring ' \
  'Wrote crate01_jiggles.qci' >"$scratch/console"
cp tests/fixtures/crate01_jiggles.qci "$scratch/qci"
sed 's/$/\r/' "$scratch/console" >"$scratch/console.crlf"
sed 's/$/\r/' "$scratch/qci" >"$scratch/qci.crlf"

# Runs a program on the sample in an empty folder: the console and the file must be as
# expected. Then the apply program beside it writes the file back into a copy of the
# sample, which must be the sample byte for byte, and the sweep beside it gives the same
# text for the folder. Arguments: what (for messages), line-end suffix ("" or ".crlf"),
# dump command..., "--", apply command... (the sweep is the apply's sibling).
run_sample() {
  local what="$1" ends="$2"
  shift 2
  local dump=() apply=()
  while [ "$1" != "--" ]; do dump+=("$1"); shift; done
  shift
  apply=("$@")
  local folder="$scratch/run-$RANDOM"
  mkdir "$folder"
  cp examples/crate01.mdl "$folder/"
  (cd "$folder" && "${dump[@]}" crate01.mdl </dev/null >"$scratch/got" 2>&1) ||
    fail "$what on the sample failed: $(cat "$scratch/got")"
  cmp -s "$scratch/got" "$scratch/console$ends" || {
    echo "$what: unexpected console:"; cat -A "$scratch/got"; exit 1; }
  cmp -s "$folder/crate01_jiggles.qci" "$scratch/qci$ends" ||
    fail "$what: crate01_jiggles.qci differs from the expected text"
  (cd "$folder" && "${apply[@]}" crate01.mdl crate01_jiggles.qci copy.mdl </dev/null >"$scratch/got" 2>&1) ||
    fail "$what: applying the sample's text failed: $(cat "$scratch/got")"
  cmp -s "$folder/copy.mdl" examples/crate01.mdl || fail "$what: the applied copy differs from the sample"
  local sweep=("${apply[@]}")
  sweep[${#sweep[@]}-1]="${apply[${#apply[@]}-1]/sproing_apply/sproing_sweep}"
  rm "$folder/copy.mdl" "$folder/crate01_jiggles.qci"
  (cd "$folder" && "${sweep[@]}" -o swept crate01.mdl </dev/null >"$scratch/got" 2>&1) ||
    fail "$what: the sweep of the sample failed: $(cat "$scratch/got")"
  cmp -s "$folder/swept/crate01_jiggles.qci" "$scratch/qci$ends" || fail "$what: the sweep's text differs"
}

echo "== cmake --install and the .tar.gz"
prefix="$scratch/prefix"
cmake --install build-release/linux --prefix "$prefix" >/dev/null
files="bin/sproing_dump bin/sproing_apply bin/sproing_sweep share/man/man1/sproing_dump.1"
files="$files share/man/man1/sproing_apply.1 share/man/man1/sproing_sweep.1"
files="$files share/doc/sproing_dump/README.md share/doc/sproing_dump/LICENSE share/doc/sproing_dump/docs/editing.md"
for file in $files; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
for page in sproing_dump sproing_apply sproing_sweep; do
  warnings="$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "man page $page warnings: $warnings"
done
run_sample "the installed programs" "" "$prefix/bin/sproing_dump" -- "$prefix/bin/sproing_apply"
archive="$(echo "$release"/sproing_dump-"$version"-linux-*.tar.gz)"
listing="$(tar tzf "$archive")"
for file in $files; do
  grep -q "^sproing_dump-$version-linux-[^/]*/$file\$" <<<"$listing" || fail "$archive lacks $file"
done
echo "$(basename "$archive"): $files"
# Unpacked as README says, into a prefix such as /usr/local, the programs land in its bin.
usrlocal="$scratch/usrlocal"
mkdir -p "$usrlocal"
tar xzf "$archive" -C "$usrlocal" --strip-components=1
run_sample "the .tar.gz unpacked as README says" "" "$usrlocal/bin/sproing_dump" -- "$usrlocal/bin/sproing_apply"

echo "== the Debian package, installed with apt"
deb="$release/sproing-dump_${version}_$(dpkg --print-architecture).deb"
if dpkg -s sproing-dump >/dev/null 2>&1; then
  echo "sproing-dump is installed already (an earlier run?): removing it first"
  apt-get purge -y -qq sproing-dump >/dev/null
fi
# What the package holds, and which of those paths (shared folders) were there before.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^$' |
  sort >"$scratch/packed"
while read -r path; do
  if [ -e "$path" ]; then echo "$path"; fi
done <"$scratch/packed" >"$scratch/there-before"
grep -q '^Depends:' < <(dpkg-deb -f "$deb") && fail "the static program should depend on nothing"
apt-get install -y -qq "$deb" >/dev/null
dpkg -L sproing-dump | grep -vx '/\.' | sort >"$scratch/installed"
cmp -s "$scratch/packed" "$scratch/installed" || {
  diff "$scratch/packed" "$scratch/installed"; fail "dpkg -L differs from the package's contents"; }
while read -r path; do
  [ -e "$path" ] || fail "listed but not on disk: $path"
done <"$scratch/installed"
for program in sproing_dump sproing_apply sproing_sweep; do
  [ "$(command -v $program)" = /usr/bin/$program ] ||
    fail "$program on PATH is $(command -v $program), not the package's"
  [ "$(man -w $program)" = /usr/share/man/man1/$program.1.gz ] ||
    fail "man $program finds $(man -w $program), not the package's page"
  warnings="$(MANWIDTH=80 man --warnings $program 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "man $program warnings: $warnings"
  MANWIDTH=80 man $program 2>/dev/null | grep -q "sproing_dump $version" ||
    fail "the man page of $program does not carry version $version"
done
run_sample "the programs from PATH" "" sproing_dump -- sproing_apply
apt-get remove -y -qq sproing-dump >/dev/null
left="$(comm -23 "$scratch/installed" "$scratch/there-before" |
  while read -r path; do if [ -e "$path" ]; then echo "$path"; fi; done)"
[ -z "$left" ] || fail "left behind after apt-get remove: $left"
status="$(dpkg-query -W -f='${db:Status-Status}' sproing-dump 2>/dev/null || true)"
[ -z "$status" ] || [ "$status" = not-installed ] || fail "dpkg still knows sproing-dump: $status"
echo "$(basename "$deb"): installed, ran from PATH, man page, removed without a trace"

echo "== the Windows .zip files, under Wine"
# Wine's services started here, detached, so that no run below waits on them; a 64-bit
# prefix, which runs both kinds of program.
wineserver -p </dev/null >/dev/null 2>&1 || true
/usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
for bits in 32 64; do
  archive="$release/sproing_dump-$version-win$bits.zip"
  unpacked="$scratch/win$bits"
  mkdir "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$archive")
  contents="$(cd "$unpacked/sproing_dump-$version-win$bits" && ls)"
  [ "$contents" = "$(printf 'LICENSE\nREADME.md\ndocs\nsproing_apply.exe\nsproing_dump.exe\nsproing_sweep.exe')" ] ||
    fail "$(basename "$archive"): unexpected contents: $contents"
  folder="$unpacked/sproing_dump-$version-win$bits"
  [ -f "$folder/docs/editing.md" ] || fail "$(basename "$archive"): README's link to docs/editing.md finds nothing"
  exe="$folder/sproing_dump.exe"
  # Machine field of the PE header, little-endian: i386 (0x14c) or AMD64 (0x8664).
  if [ "$bits" = 32 ]; then machine=4c01 loader="${SPROING_WINE32:-/usr/lib/wine/wine}"
  else machine=6486 loader="${SPROING_WINE64:-/usr/lib/wine/wine64}"; fi
  for program in "$exe" "$folder/sproing_apply.exe" "$folder/sproing_sweep.exe"; do
    header="$(od -An -tx1 -j"$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')" -N6 "$program" | tr -d ' ')"
    [ "$header" = "50450000$machine" ] ||
      fail "$(basename "$archive"): $(basename "$program") is not a $bits-bit Windows program ($header)"
  done
  # Some hosts cannot start 32-bit programs at all, Wine's loader among them: asked, as in
  # the Windows stage, of the program itself, which without arguments prints its usage
  # and ends with status 1. SPROING_WINE32=/bin/false acts out such a host.
  usage=0
  "$loader" "$exe" </dev/null >/dev/null 2>&1 || usage=$?
  if [ "$usage" = 1 ] && probe="$("$loader" --version 2>&1)"; then
    run_sample "$(basename "$archive") under $loader ($probe)" .crlf "$loader" "$exe" -- \
      "$loader" "$folder/sproing_apply.exe"
    echo "$(basename "$archive"): $(echo $contents); both ran under $loader ($probe)"
  else
    echo "WARNING: this host cannot run $(basename "$exe") under $loader (status $usage):"
    echo "WARNING: $(basename "$archive") checked for its contents and header only, NOT run"
  fi
done

page="$release/sproing_dump-$version-web.zip"
if [ -f "$page" ]; then
  echo "== the web page's .zip"
  (cd "$scratch" && cmake -E tar xf "$page")
  for file in index.html LICENSE; do
    [ -s "$scratch/sproing_dump-$version-web/$file" ] || fail "$(basename "$page") lacks $file"
  done
  echo "$(basename "$page"): $(cd "$scratch/sproing_dump-$version-web" && echo *)"
fi

echo "== release/$version checked: $(cd "$release" && echo *)"
