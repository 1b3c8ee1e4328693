#!/usr/bin/env bash
# Exit status 0 when this machine's kernel runs 32-bit x86 programs. Writes the
# smallest such program (an ELF32 that exits with 42 through int 0x80) and runs
# it; a kernel built without 32-bit support refuses it with ENOEXEC.
set -u
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
python3 - "$tmp" <<'PY'
import struct, sys
code = bytes([0xb8, 1, 0, 0, 0, 0xbb, 42, 0, 0, 0, 0xcd, 0x80])  # exit(42)
base, eh, ph = 0x08048000, 52, 32
size = eh + ph + len(code)
elf = b'\x7fELF' + bytes([1, 1, 1, 0]) + bytes(8)
elf += struct.pack('<HHIIIIIHHHHHH', 2, 3, 1, base + eh + ph, eh, 0, 0, eh, ph, 1, 0, 0, 0)
elf += struct.pack('<IIIIIIII', 1, 0, base, base, size, size, 5, 0x1000)
open(sys.argv[1], 'wb').write(elf + code)
PY
chmod +x "$tmp"
"$tmp" 2>/dev/null
[ $? -eq 42 ]
