#pragma once

// tovi: path helpers, SWF header, standalone player builder.

#include <wx/string.h>

#include <cstdint>

#include "platform/messages.h"
#include "platform/types.h"

#define TOVI_API __attribute__((visibility("default")))

class wxEvtHandler;
class wxWindow;

// The standalone builder's progress and result message (see MakeExeThreadProc).
inline constexpr platform::UINT WM_MAKEEXE_NOTIFY = platform::kWmUser + 100;

// A movie's header as GetSwfInfo reads it: eight 32-bit fields, stage size first.
struct stu_SwfInfo {
    std::int32_t nWidth;
    std::int32_t nHeight;
    std::int32_t nFrameCount;
    std::int32_t nFrameRate;
    std::int32_t nVersion;
    std::int32_t nDuration;
    std::int32_t nFileLength;
    std::int32_t bCompressed;
};
static_assert(sizeof(stu_SwfInfo) == 32);

// What the make-player command hands to the builder thread, which owns and frees it.
struct stu_MakeExeParam {
    wxString strStubPath;
    wxString strExePath;
    wxString strSwfPath;
    platform::MessageWindow* pNotifyWnd;
    std::int32_t nWidth;
    std::int32_t nHeight;
};

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

extern "C" {

// The last component of the path (the file name). "\" and "/" both separate; surrounding
// white space is ignored; a null path is empty.
TOVI_API wxString GetNameFromPath(const wchar_t* path);
// Everything up to and including the last separator; empty when there is none.
TOVI_API wxString GetLastDirectoryFromPath(const wchar_t* path);
// The file name without its last extension.
TOVI_API wxString GetNameFormPathNoEx(const wchar_t* path);
// The last extension with its dot, lower-cased; a name without a dot gives the whole name.
TOVI_API wxString GetExternNameFromPath(const wchar_t* path);
// The full path of a program file: names beginning with "seting" (any case) are under the
// per-user folder "<application data>\Kestrum\ToviFlash\", all others beside the program.
TOVI_API wxString GetSetingFilePathName(const wchar_t* relativeName);

// Reads the movie's header into `info` and returns 1; every failure throws a wide message
// text (const wchar_t*).
TOVI_API int GetSwfInfo(stu_SwfInfo* info, const wchar_t* path);

// Builder thread entry: copies the stub and the movie into the output and appends the
// standalone trailer, reporting through WM_MAKEEXE_NOTIFY. Frees `param`; returns 0.
TOVI_API std::uint32_t MakeExeThreadProc(void* param);

// 1 while a builder thread runs.
TOVI_API extern std::int32_t g_blIsMaking;

// The waveform output volume (0 silent to 0xFFFF full; the player component's output volume
// for the whole process). Nonzero `get`: reads the right channel into *volume, 0x7FFF when
// there is no output device. 0: sets both channels to the low 16 bits of *volume.
TOVI_API void SetVolumes(int get, std::uint32_t* volume);

// Puts the right-button filter in front of the Flash control's window: from then on a
// right-button press over it is withheld from it, and mouse moves, left-button presses and
// right-button releases reach it and are also posted to `notifyWindow` with the same
// parameters (positions in the control's client area). One control per process is filtered;
// installing again is harmless. Returns the handler that now receives what the filter passes
// (the control's own one).
TOVI_API wxEvtHandler* FiterRbutton(wxWindow* notifyWindow, wxWindow* flashWindow);

// Hands the filtered control a right-button press at the mouse position, past the filter, so
// that the control opens its own menu there. Returns 1 when the control handled the press,
// 0 when it did not or no control is filtered.
TOVI_API std::intptr_t PopuFlashMenu();
}

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
