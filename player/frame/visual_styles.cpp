#include "visual_styles.h"

#include "platform/registry.h"
#include "resource_ids.h"

namespace looks {
namespace {

constexpr Theme kOffice[] = {
    {Art::Office, {194, 216, 241}, {255, 213, 105}, {21, 66, 139}},  // blue
    {Art::Office, {96, 96, 96}, {255, 203, 96}, {20, 20, 20}},       // black
    {Art::Office, {212, 216, 224}, {255, 213, 105}, {40, 44, 60}},   // silver
    {Art::Office, {178, 220, 214}, {255, 213, 105}, {22, 76, 80}},   // aqua
};

constexpr VisualStyle kStyles[] = {
    {ID_STYLE_WINDOWS_2000,
     L"Windows 2000",
     {Art::Flat, {212, 208, 200}, {10, 36, 106}, {0, 0, 0}},
     false,
     Scheme::Blue},
    {ID_STYLE_OFFICE_XP,
     L"Windows XP(Office 样式)",
     {Art::Flat, {236, 233, 230}, {182, 189, 210}, {0, 0, 0}},
     false,
     Scheme::Blue},
    {ID_STYLE_WINDOWS_XP,
     L"Windows XP",
     {Art::Office, {236, 233, 216}, {255, 200, 60}, {0, 0, 0}},
     false,
     Scheme::Blue},
    {ID_STYLE_OFFICE_2003,
     L"Windows 2003(Office 样式)",
     {Art::Office, {158, 190, 245}, {255, 213, 140}, {0, 21, 110}},
     false,
     Scheme::Blue},
    {ID_STYLE_VS_2005,
     L"Visual Studio 2005",
     {Art::Flat, {238, 237, 229}, {193, 210, 238}, {0, 0, 0}},
     false,
     Scheme::Blue},
    {ID_STYLE_OFFICE_2007_BLUE, L"Office 2007 (蓝色样式)(&B)", kOffice[0], true, Scheme::Blue},
    {ID_STYLE_OFFICE_2007_BLACK, L"Office 2007 (黑色样式)(&L)", kOffice[1], true, Scheme::Black},
    {ID_STYLE_OFFICE_2007_SILVER, L"Office 2007 (银色样式)(&S)", kOffice[2], true, Scheme::Silver},
    {ID_STYLE_OFFICE_2007_AQUA, L"Office 2007 (水绿色样式)(&A)", kOffice[3], true, Scheme::Aqua},
};

}  // namespace

const VisualStyle* FindStyle(int id) {
    for (const VisualStyle& style : kStyles) {
        if (style.id == id) {
            return &style;
        }
    }
    return nullptr;
}

Theme OfficeTheme(Scheme scheme) {
    return kOffice[static_cast<int>(scheme)];
}

Theme ThemeFor(int id, Scheme currentScheme) {
    const VisualStyle* style = FindStyle(id);
    return style ? style->theme : OfficeTheme(currentScheme);
}

int ReadApplicationLook() {
    platform::RegKey key;
    if (key.Open(platform::RegRoot::CurrentUser, kLookKey, platform::kKeyRead) != 0) {
        return ID_STYLE_DEFAULT;
    }
    platform::RegValue value;
    if (key.QueryValue(kLookValue, &value) != 0 || value.type != platform::kRegDword ||
        value.data.size() != 4) {
        return ID_STYLE_DEFAULT;
    }
    std::uint32_t n = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                      static_cast<std::uint32_t>(value.data[3]) << 24;
    return static_cast<int>(n);
}

void WriteApplicationLook(int id) {
    platform::RegKey key;
    if (key.Create(platform::RegRoot::CurrentUser, kLookKey, platform::kKeyWrite) == 0) {
        key.SetDword(kLookValue, static_cast<platform::DWORD>(id));
    }
}

}  // namespace looks
