#pragma once

// Heap allocations made through the global operator new since the program
// started. Linking AllocationCounter.cpp replaces operator new and delete for
// the whole executable, so a test executable that counts must link nothing
// else that replaces them.
long AllocationCount();
