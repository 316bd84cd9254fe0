#pragma once

// The full-screen library is built hidden; its public classes are exported.
#if defined(_WIN32)
#if defined(UI_BUILDING_SHARED)
#define UI_API __declspec(dllexport)
#else
#define UI_API __declspec(dllimport)
#endif
#else
#define UI_API __attribute__((visibility("default")))
#endif
