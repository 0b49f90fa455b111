#!/bin/sh
# Fails when an exe imports a function that Windows 7 SP1 lacks: such an exe would not start there
# ("entry point not found"). Newer functions are looked up at run time instead.
# Usage: windows7_imports.sh OBJDUMP EXE...
objdump=$1
shift
newer='^(GetDpiFor(Window|System)|GetSystemDpiForProcess|AdjustWindowRectExForDpi|GetSystemMetricsForDpi|SystemParametersInfoForDpi|EnableNonClientDpiScaling|SetThreadDpiAwarenessContext|GetThreadDpiAwarenessContext|GetWindowDpiAwarenessContext|AreDpiAwarenessContextsEqual|SetProcessDpiAwarenessContext|SetProcessDpiAwareness|GetDpiForMonitor|GetSystemTimePreciseAsFileTime|CreateFile2|CopyFile2|WaitOnAddress|WakeByAddress(Single|All)|SetThreadDescription|GetThreadDescription|PathCch[A-Za-z]*|PathAllocCombine|PathAllocCanonicalize|GetFileInformationByName|CreateFileMappingFromApp|VirtualAlloc2|MapViewOfFile3|GetCurrentPackageId|GetPackagePath|SetDefaultDllDirectories)$'
status=0
for exe in "$@"; do
    functions=$("$objdump" -p "$exe" | awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll ":" $3 }')
    if [ -z "$functions" ]; then
        echo "no imports read from $exe"
        status=1
        continue
    fi
    found=$(echo "$functions" | awk -F: -v newer="$newer" '$2 ~ newer')
    if [ -n "$found" ]; then
        echo "$(basename "$exe") imports functions that Windows 7 SP1 lacks:"
        echo "$found"
        status=1
    else
        echo "$(basename "$exe"): $(echo "$functions" | wc -l) imports, none newer than Windows 7 SP1"
    fi
done
exit $status
