#!/usr/bin/env bash
# Creates (once) the project's 32-bit Wine prefix at $1 and maps the skins'
# Chinese font faces to the installed CJK font. Reused when it already exists.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh <prefix-dir>}
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix made for the other architecture cannot be reused.
if [ "$(cat "$prefix/.vornex-ready" 2>/dev/null)" = "$WINEARCH" ]; then exit 0; fi
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
wineboot -i >/dev/null 2>&1 </dev/null || true
font='WenQuanYi Micro Hei'
reg="$prefix/fonts.reg"
cat > "$reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"微软雅黑"="$font"
"Microsoft YaHei"="$font"
"宋体"="$font"
"SimSun"="$font"
"新宋体"="$font"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
"Tahoma"="wqy-microhei.ttc,$font"
"Microsoft Sans Serif"="wqy-microhei.ttc,$font"
"MS Shell Dlg"="wqy-microhei.ttc,$font"
REG
# regedit reads UTF-16 with a byte-order mark whatever the prefix's code page.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$reg"; } > "$reg.u16"
wine regedit /S "$(winepath -w "$reg.u16" 2>/dev/null)" >/dev/null 2>&1 </dev/null
wineserver -w
echo "$WINEARCH" >"$prefix/.vornex-ready"
