#include "roles_text.h"

#include <cstdint>
#include <vector>

#include "Tovilib.h"
#include "platform/file.h"
#include "roles_check.h"

namespace terms {
namespace {

inline constexpr platform::UINT kLineLimit = 500;
inline constexpr int kMaxLines = 501;

bool ChecksHold(const wxString& path) {
    platform::File file;
    if (!file.Open(path.wc_str(), platform::File::modeRead | platform::File::typeBinary)) {
        return false;
    }
    const std::uint64_t length = file.GetLength();
    if (!RolesLengthHolds(length)) {
        file.Abort();
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    const platform::UINT read = file.Read(bytes.data(), static_cast<platform::UINT>(bytes.size()));
    file.Close();
    bytes.resize(read);
    return FirstRolesFault(bytes).empty();
}

}  // namespace

std::optional<wxString> LoadRolesText(const wxString& path) {
    try {
        if (!ChecksHold(path)) {
            return std::nullopt;
        }
        MyFileW file;
        if (!file.Open(path.wc_str(), platform::File::modeRead | platform::File::typeBinary)) {
            return std::nullopt;
        }
        wxString text;
        wxString line;
        for (int lines = 0; lines < kMaxLines && file.ReadLineW(&line, kLineLimit) != -1; ++lines) {
            text += line;
            text += wxS("\r\n");
        }
        text.RemoveLast(text.length() >= 2 ? 2 : text.length());
        file.Close();
        return text;
    } catch (const platform::FileException&) {
        return std::nullopt;
    } catch (int) {
        // No byte-order mark.
        return std::nullopt;
    }
}

}  // namespace terms
