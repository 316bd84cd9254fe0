// Feeds arbitrary bytes to the registry file reader, then checks that what it kept survives
// being written and read again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "registry_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bool damaged = false;
    platform::RegistryDocument doc =
        platform::RegistryDocument::Parse(bytes, L"HKEY_CURRENT_USER", &damaged);
    const std::string saved = doc.Serialize(L"HKEY_CURRENT_USER");
    bool damagedAgain = true;
    platform::RegistryDocument again =
        platform::RegistryDocument::Parse(saved, L"HKEY_CURRENT_USER", &damagedAgain);
    if (damagedAgain || again.Serialize(L"HKEY_CURRENT_USER") != saved) {
        std::abort();
    }
    return 0;
}
