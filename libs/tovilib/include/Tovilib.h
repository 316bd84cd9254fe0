#pragma once

// Tovilib: UTF-16 line files, system error texts and byte assembly.

#include <wx/string.h>

#include <cstdint>

#include "platform/file.h"
#include "platform/types.h"

#define TOVILIB_API __attribute__((visibility("default")))

// A file read and written one line of UTF-16 little-endian text at a time: a byte-order mark
// FF FE, then the lines separated by CR LF, no break after the last line.
class TOVILIB_API MyFileW : public platform::File {
  public:
    MyFileW();
    ~MyFileW() override;

    // Passes everything to the base; 0x8000 reads a list, 0x9001 rewrites one.
    bool Open(const wchar_t* name, platform::UINT flags,
              platform::FileException* error = nullptr) override;
    // The next line into `line`; at most `maxChars` characters (0: no limit; the character
    // after the limit is consumed). Returns the line's length or -1 at the end of the file.
    // Throws the integer 1 when the file does not begin with the byte-order mark.
    std::int32_t ReadLineW(wxString* line, platform::UINT maxChars);
    // Writes `text` as the next line and returns the characters written, the CR LF put in
    // front of it included.
    platform::UINT WriteLineW(const wchar_t* text);
    // Back to the initial state, then closes the file.
    void Close() override;

    wxString m_strLine;
    std::int32_t m_bLineStart;
    std::uint64_t m_nReadPos;
    std::uint64_t m_nWritePos;

  private:
    void ResetState();
};

extern "C" {

// The system's message text for `code` into `result` (empty when the system has none).
TOVILIB_API wxString* b_TranslateErrorMessage(wxString* result, platform::DWORD code);

// Four bytes in file order read as one big-endian word: b0*2^24 + b1*2^16 + b2*2^8 + b3.
TOVILIB_API int b_MakeDword(platform::DWORD* result, unsigned char b0, unsigned char b1,
                            unsigned char b2, unsigned char b3);
}

// The shapes in which other modules look the two functions up by name.
using PFN_b_TranslateErrorMessage = wxString* (*)(wxString* result, platform::DWORD code);
using PFN_b_MakeDword = int (*)(platform::DWORD* result, unsigned char b0, unsigned char b1,
                                unsigned char b2, unsigned char b3);
