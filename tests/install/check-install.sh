#!/usr/bin/env bash
# Installs the build into a scratch prefix, as `make install` does, and checks what the
# desktop reads there: a valid desktop entry that takes the URL scheme, image files and
# projects, its icon, the project file type, and the program with its helpers.
# Arguments: the build folder and the project extension.
set -euo pipefail
build=$1
extension=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
entry=$prefix/share/applications/org.vorlix.Vorlix.desktop
desktop-file-validate "$entry"
mimetypes=$(sed -n 's/^MimeType=//p' "$entry")
for type in x-scheme-handler/vorlix application/x-vorlix-project image/png image/jpeg image/heic image/tiff; do
    [[ ";$mimetypes" == *";$type;"* ]] || { echo "the desktop entry does not take $type" >&2; exit 1; }
done
icon=$(sed -n 's/^Icon=//p' "$entry")
test -s "$prefix/share/icons/hicolor/scalable/apps/$icon.svg"

update-mime-database "$prefix/share/mime"
grep -qx "50:application/x-vorlix-project:\*\.$extension" "$prefix/share/mime/globs2" ||
    { echo "the project file type is not registered for *.$extension" >&2; exit 1; }

test -x "$prefix/bin/vorlix"
test -x "$prefix/lib/vorlix/vorlix-update-download"
test -x "$prefix/lib/vorlix/vorlix-heif-decode"
compgen -G "$prefix/lib/vorlix/*recognition*" >/dev/null
echo "installed and registered"
