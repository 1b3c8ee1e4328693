#!/bin/sh
# Checks that a plug-in module exports exactly VSTPluginMain and main, and
# that it depends on nothing a user's machine may lack.
#   check_module_exports.sh pe OBJDUMP MODULE.dll
#       imports must be Windows system DLLs only
#   check_module_exports.sh elf NM MODULE.so [self-contained]
#       with self-contained: no C++ runtime or libgcc among the needed libraries
set -u
kind=$1
tool=$2
module=$3
mode=${4:-}
fail=0

if [ ! -f "$module" ]; then
    echo "no module at $module"
    exit 1
fi

case "$kind" in
pe)
    dump=$("$tool" -p "$module") || { echo "$tool could not read $module"; exit 1; }
    exports=$(printf '%s\n' "$dump" |
        sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort | tr '\n' ' ')
    imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p')
    # Parts of every Windows installation; the C runtime is the system's msvcrt.
    allowed="kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll comdlg32.dll
             shell32.dll wininet.dll ole32.dll oleaut32.dll comctl32.dll shlwapi.dll
             ws2_32.dll msimg32.dll winmm.dll version.dll"
    for dll in $imports; do
        lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
        case " $(echo $allowed) " in
        *" $lower "*) ;;
        *) echo "imports $dll, which is not a Windows system DLL"; fail=1 ;;
        esac
    done
    ;;
elf)
    exports=$("$tool" -D --defined-only "$module" | awk '{print $NF}' | sort | tr '\n' ' ') ||
        { echo "$tool could not read $module"; exit 1; }
    if [ "$mode" = self-contained ]; then
        needed=$(objdump -p "$module" | sed -n 's/^[[:space:]]*NEEDED[[:space:]]*//p')
        for lib in $needed; do
            case "$lib" in
            libstdc++* | libgcc_s*) echo "needs $lib at run time"; fail=1 ;;
            esac
        done
    fi
    ;;
*)
    echo "unknown module kind $kind"
    exit 1
    ;;
esac

if [ "$exports" != "VSTPluginMain main " ]; then
    echo "exports are '$exports', expected exactly VSTPluginMain and main"
    fail=1
fi
[ $fail -eq 0 ] && echo "exports: $exports"
exit $fail
