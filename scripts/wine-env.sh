# Sourced by the Wine scripts: the Wine of one edition. Sets WINEARCH (win32 unless the
# caller or --win64 says otherwise), the project's prefix of that width, and wine_loader,
# the loader of that width: the 32-bit edition under Wine's 32-bit loader, the 64-bit one
# under wine64 (which needs no 32-bit execution at all).
here=${here:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
case ${1:-} in
  --win32 | --win64)
    # A prefix chosen for the other width does not serve this one.
    [ "${WINEARCH:-${1#--}}" = "${1#--}" ] || unset WINEPREFIX
    WINEARCH=${1#--} ;;
esac
export WINEARCH=${WINEARCH:-win32}
if [ "$WINEARCH" = win64 ]; then
  export WINEPREFIX=${WINEPREFIX:-$here/build/wine-prefix64}
  wine_loader=$(command -v /usr/lib/wine/wine64 || command -v wine64 || true)
  [ -n "$wine_loader" ] || { echo "wine: the 64-bit loader wine64 is not installed (package wine64)" >&2; exit 127; }
  export WINELOADER=$wine_loader
else
  export WINEPREFIX=${WINEPREFIX:-$here/build/wine-prefix}
  wine_loader=wine
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
