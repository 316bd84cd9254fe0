#include "input_events.h"

#include "flash/utf8.h"

#include <cctype>
#include <map>
#include <memory>
#include <utility>
#include <variant>

namespace corpus {

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
                                   {"false", Json{false}}, {"null", Json{}}}) {
            if (text_.compare(pos_, std::char_traits<char>::length(word), word) == 0) {
                pos_ += std::char_traits<char>::length(word);
                return value;
            }
        }
        std::size_t used = 0;
        double number = 0;
        try {
            number = std::stod(text_.substr(pos_, 64), &used);
        } catch (const std::exception&) {
            Fail("value expected");
        }
        pos_ += used;
        return Json{number};
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
                case 'u': {
                    char32_t code = Hex4();
                    if (code >= 0xD800 && code < 0xDC00 && text_.compare(pos_, 2, "\\u") == 0) {
                        pos_ += 2;
                        char32_t low = Hex4();
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    }
                    flash::AppendUtf8(out, code);
                    break;
                }
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
};

// The first code point of UTF-8 text (0 for empty text).
char32_t FirstCodePoint(const std::string& s) {
    if (s.empty()) {
        return 0;
    }
    auto b = static_cast<unsigned char>(s[0]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
    for (int i = 1; i <= extra && static_cast<std::size_t>(i) < s.size(); ++i) {
        c = (c << 6) | (static_cast<unsigned char>(s[static_cast<std::size_t>(i)]) & 0x3F);
    }
    return c;
}

struct NamedKey {
    const char* name;
    int code;
    char32_t character;
};

constexpr NamedKey kNamedKeys[] = {
    {"Backspace", 8, 8},    {"Tab", 9, 9},          {"Enter", 13, 13},
    {"LeftShift", 16, 0},   {"RightShift", 16, 0},  {"Shift", 16, 0},
    {"LeftCtrl", 17, 0},    {"RightCtrl", 17, 0},   {"Control", 17, 0},
    {"LeftAlt", 18, 0},     {"RightAlt", 18, 0},    {"Alt", 18, 0},
    {"Pause", 19, 0},       {"CapsLock", 20, 0},    {"Escape", 27, 27},
    {"Space", 32, 32},      {"PageUp", 33, 0},      {"PageDown", 34, 0},
    {"End", 35, 0},         {"Home", 36, 0},        {"ArrowLeft", 37, 0},
    {"ArrowUp", 38, 0},     {"ArrowRight", 39, 0},  {"ArrowDown", 40, 0},
    {"Insert", 45, 0},      {"Delete", 46, 127},    {"NumLock", 144, 0},
    {"ScrollLock", 145, 0},
};

// Key codes of the punctuation keys (US layout), unshifted and shifted.
constexpr std::pair<const char*, int> kPunctuation[] = {
    {";:", 186}, {"=+", 187}, {",<", 188}, {"-_", 189}, {".>", 190}, {"/?", 191},
    {"`~", 192}, {"[{", 219}, {"\\|", 220}, {"]}", 221}, {"'\"", 222},
};

}  // namespace

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
        if (name.size() >= 2 && name[0] == 'F' && std::isdigit(static_cast<unsigned char>(name[1]))) {
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

std::vector<InputEvent> ParseInputEvents(const std::string& json) {
    Json document = JsonReader(json).Document();
    const JsonArray* events = document.Array();
    if (events == nullptr) {
        throw InputError("input.json: not an array of events");
    }
    static const std::map<std::string, InputEvent::Type> kTypes{
        {"MouseMove", InputEvent::Type::MouseMove}, {"MouseDown", InputEvent::Type::MouseDown},
        {"MouseUp", InputEvent::Type::MouseUp},     {"KeyDown", InputEvent::Type::KeyDown},
        {"KeyUp", InputEvent::Type::KeyUp},         {"TextInput", InputEvent::Type::TextInput},
        {"TextControl", InputEvent::Type::TextControl}, {"Wait", InputEvent::Type::Wait},
    };
    std::vector<InputEvent> out;
    for (const Json& item : *events) {
        const JsonObject* object = item.Object();
        if (object == nullptr) {
            throw InputError("input.json: an event that is not an object");
        }
        InputEvent e;
        auto field = [object](const char* name) -> const Json* {
            auto it = object->find(name);
            return it == object->end() ? nullptr : &it->second;
        };
        if (const Json* type = field("type"); type && type->String()) {
            auto it = kTypes.find(*type->String());
            e.type = it == kTypes.end() ? InputEvent::Type::Other : it->second;
        }
        if (const Json* pos = field("pos"); pos && pos->Array() && pos->Array()->size() == 2) {
            const double* x = (*pos->Array())[0].Number();
            const double* y = (*pos->Array())[1].Number();
            e.x = x ? *x : 0;
            e.y = y ? *y : 0;
        }
        if (const Json* button = field("btn"); button && button->String()) {
            e.button = *button->String();
        }
        if (const Json* key = field("key")) {
            InputEvent k;
            if (key->String()) {
                k = KeyOf(*key->String(), false);
            } else if (const JsonObject* o = key->Object()) {
                auto c = o->find("Char");
                if (c != o->end() && c->second.String()) {
                    k = KeyOf(*c->second.String(), true);
                }
            }
            e.keyCode = k.keyCode;
            e.character = k.character;
        }
        if (const Json* text = field("codepoint"); text && text->String()) {
            e.character = FirstCodePoint(*text->String());
        }
        if (const Json* code = field("code"); code && code->String()) {
            e.control = *code->String();
        }
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace corpus
