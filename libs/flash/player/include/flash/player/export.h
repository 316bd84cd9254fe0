#pragma once

// The component is built hidden by default; its public classes and functions are exported so
// that the shared library "flash" offers them to the main program and the UI library.
#if defined(_WIN32)
#if defined(FLASH_BUILDING_SHARED)
#define FLASH_API __declspec(dllexport)
#elif defined(FLASH_USING_SHARED)
#define FLASH_API __declspec(dllimport)
#else
#define FLASH_API
#endif
#else
#define FLASH_API __attribute__((visibility("default")))
#endif
