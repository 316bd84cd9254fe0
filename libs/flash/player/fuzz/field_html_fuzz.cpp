// Parses arbitrary bytes as text field HTML, writes the result back and parses that again:
// nothing may crash, hang or take unbounded memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "display/text_field_html.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const flash::avm1::String html = flash::avm1::FromUtf8(bytes);
    const flash::TextFormatValues base = flash::DefaultFieldFormat();
    for (bool condense : {false, true}) {
        const flash::FormattedText text = flash::ParseFieldHtml(html, base, {condense});
        const flash::avm1::String written = flash::WriteFieldHtml(text);
        flash::ParseFieldHtml(written, base);
        text.FormatOf(0, text.size());
    }
    return 0;
}
