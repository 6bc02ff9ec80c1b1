#!/bin/sh
# Checks that tools/wine/ensure-prefix marks a prefix ready only when Wine
# made it, and says what Wine said when it did not. Wine and its server are
# played by small commands put first on PATH; each case sets what "wine"
# does through STAND_IN_WINE: fail (says "boom", exit 1), empty (exit 0,
# makes nothing), make (writes the files a made prefix has), no-drive (makes
# the prefix, refuses the registry change of drive B:).
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/wine" <<'EOF'
#!/bin/sh
case "$STAND_IN_WINE:$1" in
    fail:*) echo "boom: the stand-in failed"; exit 1 ;;
    empty:*) exit 0 ;;
    no-drive:reg) echo "reg: refused by the stand-in"; exit 1 ;;
    *:wineboot)
        mkdir -p "$WINEPREFIX/dosdevices" "$WINEPREFIX/drive_c/users/someone"
        for hive in system user; do echo "WINE REGISTRY Version 2" >"$WINEPREFIX/$hive.reg"; done
        echo 1676758571 >"$WINEPREFIX/.update-timestamp" ;;
esac
exit 0
EOF
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"

failures=0
expect() {  # expect CASE FOLDER STATUS READY SAID [DRIVE_B]
    prefix="$work/$2/prefix"
    said=$(STAND_IN_WINE=$1 PATH="$work/bin:$PATH" "$here/ensure-prefix" "$prefix" ${6:-} 2>&1)
    status=$?
    ready=no
    [ -f "$prefix/.brisk-ready" ] && ready=yes
    if [ "$status" -ne "$3" ] || [ "$ready" != "$4" ]; then
        echo "FAIL $1 in $2: exit status $status (expected $3), ready $ready (expected $4); said: $said"
        failures=$((failures + 1))
    fi
    case "$said" in
        *"$5"*) ;;
        *) echo "FAIL $1 in $2: expected it to say \"$5\"; said: $said"; failures=$((failures + 1)) ;;
    esac
}
expect fail a 1 no "boom: the stand-in failed"
expect empty b 1 no "wineboot --init did not make"
expect make c 0 yes ""
expect no-drive d 1 no "reg: refused by the stand-in" "$work/drive-b"
# A prefix whose making failed is made anew by the next call.
expect make a 0 yes ""
[ "$failures" -eq 0 ] && echo "ok" || exit 1
