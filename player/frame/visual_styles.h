#pragma once

#include <cstdint>

// The nine visual styles of the main window (command ids 210 to 218) as themes of the ribbon
// and the frame, and the per-user value "ApplicationLook" that keeps the current one.
namespace looks {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

enum class Art {
    Office,  // gradients and rounded tabs
    Flat,    // plain faces and square tabs
};

enum class Scheme { Blue, Black, Silver, Aqua };

struct Theme {
    Art art;
    Rgb primary;    // faces: tabs, pages, panels
    Rgb secondary;  // highlights: hovered and pressed buttons
    Rgb tertiary;   // text
};

struct VisualStyle {
    int id;
    const wchar_t* menuText;  // as in menu 200
    Theme theme;
    // The Office 2007 colour scheme the style selects, for 215 to 218.
    bool setsScheme;
    Scheme scheme;
};

// The style with this id; null outside 210 to 218.
const VisualStyle* FindStyle(int id);

// The theme shown for a style id: the style's own, or for any other id the Office 2007 look
// in `currentScheme`.
Theme ThemeFor(int id, Scheme currentScheme);
Theme OfficeTheme(Scheme scheme);

// "ApplicationLook" in the per-user registry store: 216 when it is missing or not a number.
int ReadApplicationLook();
void WriteApplicationLook(int id);

// Where the value lives under the current user.
inline constexpr const wchar_t* kLookKey = L"Software\\kestrum\\ToviFlash\\Workspace";
inline constexpr const wchar_t* kLookValue = L"ApplicationLook";

}  // namespace looks
