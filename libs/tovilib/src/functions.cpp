#include "Tovilib.h"
#include "platform/error_text.h"

wxString* b_TranslateErrorMessage(wxString* result, platform::DWORD code) {
    if (result) {
        *result = wxString(platform::SystemErrorText(code));
    }
    return result;
}

int b_MakeDword(platform::DWORD* result, unsigned char b0, unsigned char b1, unsigned char b2,
                unsigned char b3) {
    if (result) {
        *result = (static_cast<platform::DWORD>(b0) << 24) |
                  (static_cast<platform::DWORD>(b1) << 16) |
                  (static_cast<platform::DWORD>(b2) << 8) | b3;
    }
    return 1;
}
