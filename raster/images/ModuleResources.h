#pragma once

// Access to images stored in a module (the plug-in library or a program).
// On Windows these are the system's own resource calls. Elsewhere the same
// four calls, with the same names and shapes, read resource tables that were
// compiled into the program and registered at start-up, so the decoders run
// the same code on every platform.

#ifdef _WIN32
#include <windows.h>
#else
#include <cstddef>
#include <cstdint>

using DWORD = uint32_t;
using LPCSTR = const char*;
struct ModuleResource;
// Natively every module handle (null included) sees all registered tables.
using HMODULE = void*;
using HINSTANCE = HMODULE;
using HRSRC = const ModuleResource*;
using HGLOBAL = const void*;

// An integer resource name travels as a pointer whose value is below 0x10000.
#define MAKEINTRESOURCEA(id)                                                                       \
    (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<uint16_t>(id))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<uintptr_t>(p) >> 16) == 0)

// One embedded resource: type name ("PNG"), numeric id and bytes.
struct ModuleResource
{
    const char* type;
    int id;
    const unsigned char* data;
    size_t size;
};

// A table of resources compiled into the program; `next` is set on
// registration. Tables are static records that live for the whole process.
struct ModuleResourceTable
{
    const ModuleResource* entries;
    size_t count;
    ModuleResourceTable* next;
};

// Adds a table; called from static initialisation of the generated sources,
// before any lookup can run.
void RegisterModuleResources(ModuleResourceTable* table);

// The resource of the given type and name (an integer name made with
// MAKEINTRESOURCEA, or a decimal string "#100"), or null.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
DWORD SizeofResource(HMODULE module, HRSRC resource);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// The resource's bytes, used in place; they need no release.
void* LockResource(HGLOBAL loaded);
#endif
