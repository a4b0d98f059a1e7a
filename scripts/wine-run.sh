#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix; used by CTest and the scripts.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=${TARNWICK_LOCALE:-C.UTF-8}
. "$here/scripts/wine-loader.sh"
exec "$(wine_loader)" "$@"
