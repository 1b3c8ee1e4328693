#!/usr/bin/env bash
# Exit status 0 when this machine can run 32-bit programs (and so 32-bit
# Windows programs under Wine). Some virtual machines' kernels are built
# without 32-bit support; there the 32-bit tests are reported as skipped.
[ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
