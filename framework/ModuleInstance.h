#pragma once

// The loaded plug-in module, from which the editor reads its embedded
// resources: the module instance handle (HINSTANCE) on Windows, the image's
// load address elsewhere. Recorded by the module entry on Windows; each
// platform supplies platform/<platform>/ModuleInstance.cpp.
void* GetModuleInstance();
// Used by the module entry; also lets tests pose as a loaded module.
void SetModuleInstance(void* instance);
