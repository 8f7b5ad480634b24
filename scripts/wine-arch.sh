# Sourced by the scripts that run Wine: makes `wine` the Wine that WINEARCH names, win32
# (the default: the program as it ships) or win64 (scripts/wine64/wine).
export WINEARCH=${WINEARCH:-win32}
if [ "$WINEARCH" = win64 ]; then
  PATH=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH
fi
