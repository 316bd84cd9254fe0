#include "input_events.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <variant>

#include "flash/utf8.h"

namespace replay {

namespace {

// The JSON that input.json uses: objects, arrays, strings, numbers, true, false, null.
struct Json;
using JsonObject = std::map<std::string, Json>;
using JsonArray = std::vector<Json>;
struct Json {
    std::variant<std::monostate, bool, double, std::string, std::shared_ptr<JsonArray>,
                 std::shared_ptr<JsonObject>>
        v;
    const JsonObject* Object() const {
        auto p = std::get_if<std::shared_ptr<JsonObject>>(&v);
        return p ? p->get() : nullptr;
    }
    const JsonArray* Array() const {
        auto p = std::get_if<std::shared_ptr<JsonArray>>(&v);
        return p ? p->get() : nullptr;
    }
    const std::string* String() const { return std::get_if<std::string>(&v); }
    const double* Number() const { return std::get_if<double>(&v); }
};

constexpr int kMaxNesting = 64;

class JsonReader {
  public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    Json Document() {
        Json value = Value(0);
        Space();
        if (pos_ != text_.size()) {
            Fail("text after the value");
        }
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw InputError("input.json: " + what + " at offset " + std::to_string(pos_));
    }

    void Space() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
            ++pos_;
        }
    }

    bool Take(char c) {
        Space();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    Json Value(int nesting) {
        if (nesting > kMaxNesting) {
            Fail("too deeply nested");
        }
        if (++values_ > kMaxInputValues) {
            Fail("more than " + std::to_string(kMaxInputValues) + " values");
        }
        Space();
        if (pos_ >= text_.size()) {
            Fail("unexpected end");
        }
        char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            auto object = std::make_shared<JsonObject>();
            if (!Take('}')) {
                do {
                    Space();
                    std::string key = StringValue();
                    if (!Take(':')) {
                        Fail("':' expected");
                    }
                    (*object)[key] = Value(nesting + 1);
                } while (Take(','));
                if (!Take('}')) {
                    Fail("'}' expected");
                }
            }
            return Json{object};
        }
        if (c == '[') {
            ++pos_;
            auto array = std::make_shared<JsonArray>();
            if (!Take(']')) {
                do {
                    array->push_back(Value(nesting + 1));
                } while (Take(','));
                if (!Take(']')) {
                    Fail("']' expected");
                }
            }
            return Json{array};
        }
        if (c == '"') {
            return Json{StringValue()};
        }
        for (auto [word, value] : {std::pair<const char*, Json>{"true", Json{true}},
                                   {"false", Json{false}},
                                   {"null", Json{}}}) {
            if (text_.compare(pos_, std::char_traits<char>::length(word), word) == 0) {
                pos_ += std::char_traits<char>::length(word);
                return value;
            }
        }
        return Json{Number()};
    }

    // A number as JSON writes it, -?[0-9]+(.[0-9]+)?([eE][+-]?[0-9]+)?, and finite.
    double Number() {
        const std::size_t start = pos_;
        auto digits = [this] {
            std::size_t from = pos_;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
                ++pos_;
            }
            return pos_ > from;
        };
        auto take = [this](std::string_view chars) {
            if (pos_ < text_.size() && chars.find(text_[pos_]) != std::string_view::npos) {
                ++pos_;
                return true;
            }
            return false;
        };
        take("-");
        bool ok = digits();
        if (ok && take(".")) {
            ok = digits();
        }
        if (ok && take("eE")) {
            take("+-");
            ok = digits();
        }
        double number = 0;
        if (!ok ||
            std::from_chars(text_.data() + start, text_.data() + pos_, number).ec != std::errc() ||
            !std::isfinite(number)) {
            pos_ = start;
            Fail("value expected");
        }
        return number;
    }

    unsigned Hex4() {
        if (pos_ + 4 > text_.size()) {
            Fail("short \\u escape");
        }
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            char h = text_[pos_++];
            v <<= 4;
            if (h >= '0' && h <= '9') {
                v |= static_cast<unsigned>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                v |= static_cast<unsigned>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                v |= static_cast<unsigned>(h - 'A' + 10);
            } else {
                Fail("bad \\u escape");
            }
        }
        return v;
    }

    // The code point of a \u escape (the "\u" read), joining a surrogate pair; a lone
    // surrogate stays one and becomes U+FFFD in the text.
    char32_t Escape() {
        char32_t code = Hex4();
        if (code >= 0xD800 && code < 0xDC00 && text_.compare(pos_, 2, "\\u") == 0) {
            const std::size_t back = pos_;
            pos_ += 2;
            char32_t low = Hex4();
            if (low >= 0xDC00 && low < 0xE000) {
                return 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            pos_ = back;
        }
        return code;
    }

    std::string StringValue() {
        if (pos_ >= text_.size() || text_[pos_] != '"') {
            Fail("string expected");
        }
        ++pos_;
        std::string out;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) {
                break;
            }
            char e = text_[pos_++];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u':
                    flash::AppendUtf8(out, Escape());
                    break;
                default:
                    out += e;
                    break;
            }
        }
        if (pos_ >= text_.size()) {
            Fail("unterminated string");
        }
        ++pos_;
        return out;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
    std::size_t values_ = 0;
};

// The first code point of UTF-8 text: 0 for empty text, U+FFFD for a broken sequence.
char32_t FirstCodePoint(const std::string& s) {
    if (s.empty()) {
        return 0;
    }
    auto b = static_cast<unsigned char>(s[0]);
    if (b < 0x80) {
        return b;
    }
    const std::size_t extra = b >= 0xF8 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || s.size() <= extra) {
        return 0xFFFD;
    }
    char32_t c = b & (0x3F >> extra);
    for (std::size_t i = 1; i <= extra; ++i) {
        auto next = static_cast<unsigned char>(s[i]);
        if ((next & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        c = (c << 6) | (next & 0x3F);
    }
    return c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c;
}

// The bytes of the UTF-8 sequence at `at`: its lead and the continuation bytes that follow,
// as many as the lead asks for (1 for a stray byte).
std::size_t SequenceLength(const std::string& s, std::size_t at) {
    const auto lead = static_cast<unsigned char>(s[at]);
    const std::size_t wanted = lead >= 0xF8   ? 1
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 1;
    std::size_t length = 1;
    while (length < wanted && at + length < s.size() &&
           (static_cast<unsigned char>(s[at + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

struct NamedKey {
    const char* name;
    int code;
    char32_t character;
};

constexpr NamedKey kNamedKeys[] = {
    {"Backspace", 8, 8},   {"Tab", 9, 9},       {"Enter", 13, 13},     {"LeftShift", 16, 0},
    {"RightShift", 16, 0}, {"Shift", 16, 0},    {"LeftCtrl", 17, 0},   {"RightCtrl", 17, 0},
    {"Control", 17, 0},    {"LeftAlt", 18, 0},  {"RightAlt", 18, 0},   {"Alt", 18, 0},
    {"Pause", 19, 0},      {"CapsLock", 20, 0}, {"Escape", 27, 27},    {"Space", 32, 32},
    {"PageUp", 33, 0},     {"PageDown", 34, 0}, {"End", 35, 0},        {"Home", 36, 0},
    {"ArrowLeft", 37, 0},  {"ArrowUp", 38, 0},  {"ArrowRight", 39, 0}, {"ArrowDown", 40, 0},
    {"Insert", 45, 0},     {"Delete", 46, 127}, {"NumLock", 144, 0},   {"ScrollLock", 145, 0},
};

// Key codes of the punctuation keys (US layout), unshifted and shifted.
constexpr std::pair<const char*, int> kPunctuation[] = {
    {";:", 186}, {"=+", 187}, {",<", 188},  {"-_", 189}, {".>", 190},  {"/?", 191},
    {"`~", 192}, {"[{", 219}, {"\\|", 220}, {"]}", 221}, {"'\"", 222},
};

}  // namespace

std::wstring WideText(const std::string& utf8) {
    std::wstring out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = SequenceLength(utf8, i);
        out += static_cast<wchar_t>(FirstCodePoint(utf8.substr(i, length)));
        i += length;
    }
    return out;
}

InputEvent KeyOf(const std::string& name, bool isCharacter) {
    InputEvent e;
    if (!isCharacter) {
        for (const NamedKey& k : kNamedKeys) {
            if (name == k.name) {
                e.keyCode = k.code;
                e.character = k.character;
                return e;
            }
        }
        if (name.size() >= 2 && name[0] == 'F' &&
            std::isdigit(static_cast<unsigned char>(name[1]))) {
            int n = std::atoi(name.c_str() + 1);
            if (n >= 1 && n <= 24) {
                e.keyCode = 111 + n;
            }
        }
        return e;
    }
    char32_t c = FirstCodePoint(name);
    e.character = c;
    if (c >= 'a' && c <= 'z') {
        e.keyCode = static_cast<int>(c - 'a' + 'A');
    } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        e.keyCode = static_cast<int>(c);
    } else if (c == ' ') {
        e.keyCode = 32;
    } else if (c < 0x80) {
        static constexpr const char* kShiftedDigits = ")!@#$%^&*(";
        for (int d = 0; d < 10; ++d) {
            if (kShiftedDigits[d] == static_cast<char>(c)) {
                e.keyCode = '0' + d;
            }
        }
        for (const auto& [chars, code] : kPunctuation) {
            if (chars[0] == static_cast<char>(c) || chars[1] == static_cast<char>(c)) {
                e.keyCode = code;
            }
        }
    }
    return e;
}

namespace {

const JsonObject& EventObject(const Json& item, std::size_t index) {
    const JsonObject* object = item.Object();
    if (object == nullptr) {
        throw InputError("input.json: event " + std::to_string(index + 1) + " is not an object");
    }
    return *object;
}

// Reads one event; `where` names it in messages.
class EventReader {
  public:
    EventReader(const JsonObject& object, std::size_t index)
        : object_(object), where_("input.json: event " + std::to_string(index + 1)) {}

    InputEvent Read() {
        static const std::map<std::string, InputEvent::Type> kTypes{
            {"MouseMove", InputEvent::Type::MouseMove},
            {"MouseDown", InputEvent::Type::MouseDown},
            {"MouseUp", InputEvent::Type::MouseUp},
            {"KeyDown", InputEvent::Type::KeyDown},
            {"KeyUp", InputEvent::Type::KeyUp},
            {"TextInput", InputEvent::Type::TextInput},
            {"TextControl", InputEvent::Type::TextControl},
            {"SetClipboardText", InputEvent::Type::SetClipboardText},
            {"MouseWheel", InputEvent::Type::MouseWheel},
            {"FocusGained", InputEvent::Type::FocusGained},
            {"FocusLost", InputEvent::Type::FocusLost},
            {"Wait", InputEvent::Type::Wait},
        };
        InputEvent e;
        e.name = Text("type");
        if (e.name.empty()) {
            Fail("an event with an empty type");
        }
        auto it = kTypes.find(e.name);
        e.type = it == kTypes.end() ? InputEvent::Type::Other : it->second;
        where_ += " (" + e.name + ")";
        switch (e.type) {
            case InputEvent::Type::MouseDown:
            case InputEvent::Type::MouseUp:
                e.button = Button();
                [[fallthrough]];
            case InputEvent::Type::MouseMove:
                Position(e);
                break;
            case InputEvent::Type::KeyDown:
            case InputEvent::Type::KeyUp:
                Key(e);
                break;
            case InputEvent::Type::TextInput:
                e.text = Text("codepoint");
                e.character = FirstCodePoint(e.text);
                break;
            case InputEvent::Type::SetClipboardText:
                e.text = Text("text");
                break;
            case InputEvent::Type::MouseWheel:
                e.lines = Number("lines");
                break;
            case InputEvent::Type::TextControl:
                e.control = Text("code");
                break;
            default:
                break;
        }
        return e;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw InputError(where_ + ": " + what);
    }

    const Json* Field(const char* name) const {
        auto it = object_.find(name);
        return it == object_.end() ? nullptr : &it->second;
    }

    std::string Text(const char* name) const {
        const Json* value = Field(name);
        if (value == nullptr || value->String() == nullptr) {
            Fail(std::string("no text \"") + name + "\"");
        }
        return *value->String();
    }

    double Number(const char* name) const {
        const Json* value = Field(name);
        if (value == nullptr || value->Number() == nullptr) {
            Fail(std::string("no number \"") + name + "\"");
        }
        return *value->Number();
    }

    void Position(InputEvent& e) const {
        const Json* pos = Field("pos");
        const JsonArray* xy = pos ? pos->Array() : nullptr;
        const double* x = xy != nullptr && xy->size() == 2 ? (*xy)[0].Number() : nullptr;
        const double* y = xy != nullptr && xy->size() == 2 ? (*xy)[1].Number() : nullptr;
        if (x == nullptr || y == nullptr) {
            Fail("\"pos\" must be [x, y]");
        }
        e.x = *x;
        e.y = *y;
    }

    std::string Button() const {
        const Json* button = Field("btn");
        if (button == nullptr) {
            return "Left";
        }
        const std::string* name = button->String();
        if (name == nullptr || (*name != "Left" && *name != "Middle" && *name != "Right")) {
            Fail("\"btn\" must be \"Left\", \"Middle\" or \"Right\"");
        }
        return *name;
    }

    void Key(InputEvent& e) const {
        const Json* key = Field("key");
        InputEvent k;
        if (key != nullptr && key->String() != nullptr) {
            k = KeyOf(*key->String(), false);
            if (k.keyCode == 0) {
                Fail("unknown key \"" + *key->String() + "\"");
            }
        } else if (const JsonObject* o = key ? key->Object() : nullptr) {
            auto c = o->find("Char");
            if (c == o->end() || c->second.String() == nullptr || c->second.String()->empty()) {
                Fail("\"key\" must give \"Char\"");
            }
            k = KeyOf(*c->second.String(), true);
        } else {
            Fail("no \"key\"");
        }
        e.keyCode = k.keyCode;
        e.character = k.character;
    }

    const JsonObject& object_;
    std::string where_;
};

}  // namespace

std::vector<InputEvent> ParseInputEvents(const std::string& json) {
    if (json.size() > kMaxInputBytes) {
        throw InputError("input.json: larger than " + std::to_string(kMaxInputBytes) + " bytes");
    }
    Json document = JsonReader(json).Document();
    const JsonArray* events = document.Array();
    if (events == nullptr) {
        throw InputError("input.json: not an array of events");
    }
    std::vector<InputEvent> out;
    out.reserve(events->size());
    for (std::size_t i = 0; i < events->size(); ++i) {
        out.push_back(EventReader(EventObject((*events)[i], i), i).Read());
    }
    return out;
}

std::vector<InputEvent> ReadInputFile(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        throw InputError("cannot read " + path + ": " + ec.message());
    }
    if (size > kMaxInputBytes) {
        throw InputError(path + ": larger than " + std::to_string(kMaxInputBytes) + " bytes");
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    std::ifstream in(path, std::ios::binary);
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        throw InputError("cannot read " + path);
    }
    return ParseInputEvents(text);
}

}  // namespace replay
