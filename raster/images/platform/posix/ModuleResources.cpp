#include "ModuleResources.h"

#include <cstdlib>
#include <cstring>

namespace
{
// Written only during static initialisation, read afterwards.
ModuleResourceTable* registeredTables = nullptr;

// Integer names match by value; "#123" strings name the same integer
// resource, as on Windows.
bool NameToId(LPCSTR name, int& id)
{
    if (IS_INTRESOURCE(name))
    {
        id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
        return true;
    }
    if (name[0] != '#' || name[1] == '\0')
    {
        return false;
    }
    char* end = nullptr;
    long value = std::strtol(name + 1, &end, 10);
    if (*end != '\0' || value < 0 || value > 0xFFFF)
    {
        return false;
    }
    id = static_cast<int>(value);
    return true;
}

bool SameType(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
    {
        char ca = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 32) : *a;
        char cb = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 32) : *b;
        if (ca != cb)
        {
            return false;
        }
    }
    return *a == *b;
}
} // namespace

void RegisterModuleResources(ModuleResourceTable* table)
{
    if (!table)
    {
        return;
    }
    table->next = registeredTables;
    registeredTables = table;
}

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type)
{
    int id = 0;
    if (!name || !type || IS_INTRESOURCE(type) || !NameToId(name, id))
    {
        return nullptr;
    }
    for (const ModuleResourceTable* table = registeredTables; table; table = table->next)
    {
        for (size_t i = 0; i < table->count; ++i)
        {
            const ModuleResource& entry = table->entries[i];
            if (entry.id == id && SameType(entry.type, type))
            {
                return &entry;
            }
        }
    }
    return nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    return resource ? static_cast<DWORD>(resource->size) : 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    return resource ? resource->data : nullptr;
}

void* LockResource(HGLOBAL loaded)
{
    return const_cast<void*>(loaded);
}
