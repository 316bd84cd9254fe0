#pragma once

#include <string>

#include "platform/types.h"

// Libraries loaded by the Windows-style names the programs use ("ToviLib.dll"). On POSIX the
// name maps to the shared library in the program folder whose name matches, without regard to
// case, "lib<base>.so" or "<base>.so" (so "ToviLib.dll" finds libTovilib.so). Loaded libraries
// stay loaded. TOVI_LIBRARY_DIR, when set, is searched instead of the program folder.
//
// A few system modules ("Advapi32.dll") are built in; their functions can be removed by tests
// to act out a system that lacks them.
namespace platform {

struct ModuleTag;
using ModuleHandle = ModuleTag*;

// LoadLibrary: null with last error 126 when no such library exists.
ModuleHandle LoadModule(const wchar_t* name);
// GetProcAddress: null with last error 127 when the library has no such function.
void* FindFunction(ModuleHandle module, const char* name);

template <typename Fn>
Fn FindFunctionAs(ModuleHandle module, const char* name) {
    return reinterpret_cast<Fn>(FindFunction(module, name));
}

// Test hooks for the built-in system modules: takes a function away, or puts every function
// back as it was.
void RemoveSystemFunction(const wchar_t* module, const char* function);
void RestoreSystemFunctions();

}  // namespace platform
