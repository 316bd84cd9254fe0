#include "toml_lite.h"

#include <cctype>
#include <cstdlib>

namespace corpus {

const TomlTable* TomlValue::Table() const {
    auto p = std::get_if<std::shared_ptr<TomlTable>>(&v);
    return p ? p->get() : nullptr;
}

const TomlArray* TomlValue::Array() const {
    auto p = std::get_if<std::shared_ptr<TomlArray>>(&v);
    return p ? p->get() : nullptr;
}

double TomlValue::Number(double fallback) const {
    if (auto d = std::get_if<double>(&v)) {
        return *d;
    }
    if (auto i = std::get_if<std::int64_t>(&v)) {
        return static_cast<double>(*i);
    }
    return fallback;
}

std::int64_t TomlValue::Integer(std::int64_t fallback) const {
    if (auto i = std::get_if<std::int64_t>(&v)) {
        return *i;
    }
    if (auto d = std::get_if<double>(&v)) {
        return static_cast<std::int64_t>(*d);
    }
    return fallback;
}

bool TomlValue::Bool(bool fallback) const {
    auto b = std::get_if<bool>(&v);
    return b ? *b : fallback;
}

std::string TomlValue::String(const std::string& fallback) const {
    auto s = std::get_if<std::string>(&v);
    return s ? *s : fallback;
}

namespace {

class Parser {
  public:
    explicit Parser(const std::string& text) : s_(text) {}

    TomlTable Parse() {
        TomlTable root;
        TomlTable* current = &root;
        for (;;) {
            SkipBlankLines();
            if (AtEnd()) {
                break;
            }
            if (Peek() == '[') {
                bool arrayOfTables = Peek(1) == '[';
                pos_ += arrayOfTables ? 2 : 1;
                std::vector<std::string> path = ParseKeyPath();
                Expect(']');
                if (arrayOfTables) {
                    Expect(']');
                }
                current = arrayOfTables ? AppendTable(root, path) : OpenTable(root, path);
            } else {
                std::vector<std::string> path = ParseKeyPath();
                Expect('=');
                TomlValue value = ParseValue();
                Assign(*current, path, std::move(value));
            }
            EndOfLine();
        }
        return root;
    }

  private:
    bool AtEnd() const { return pos_ >= s_.size(); }
    char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0';
    }

    [[noreturn]] void Fail(const std::string& what) const {
        std::size_t line = 1;
        for (std::size_t i = 0; i < pos_ && i < s_.size(); ++i) {
            line += s_[i] == '\n';
        }
        throw TomlError("line " + std::to_string(line) + ": " + what);
    }

    void SkipSpaces() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) {
            ++pos_;
        }
    }

    void SkipComment() {
        if (Peek() == '#') {
            while (!AtEnd() && Peek() != '\n') {
                ++pos_;
            }
        }
    }

    void SkipBlankLines() {
        for (;;) {
            SkipSpaces();
            SkipComment();
            if (Peek() == '\r' || Peek() == '\n') {
                ++pos_;
                continue;
            }
            return;
        }
    }

    // Inside arrays and inline tables line breaks and comments count as blanks.
    void SkipAllBlanks() { SkipBlankLines(); }

    void EndOfLine() {
        SkipSpaces();
        SkipComment();
        if (Peek() == '\r') {
            ++pos_;
        }
        if (!AtEnd() && Peek() != '\n') {
            Fail("unexpected text after a value");
        }
        if (!AtEnd()) {
            ++pos_;
        }
    }

    void Expect(char c) {
        SkipSpaces();
        if (Peek() != c) {
            Fail(std::string("expected '") + c + "'");
        }
        ++pos_;
    }

    std::vector<std::string> ParseKeyPath() {
        std::vector<std::string> path;
        for (;;) {
            SkipSpaces();
            if (Peek() == '"' || Peek() == '\'') {
                path.push_back(ParseString());
            } else {
                std::string key;
                while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) ||
                                    Peek() == '_' || Peek() == '-')) {
                    key += s_[pos_++];
                }
                if (key.empty()) {
                    Fail("expected a key");
                }
                path.push_back(key);
            }
            SkipSpaces();
            if (Peek() != '.') {
                return path;
            }
            ++pos_;
        }
    }

    std::string ParseString() {
        char quote = s_[pos_++];
        std::string out;
        for (;;) {
            if (AtEnd() || Peek() == '\n') {
                Fail("unterminated string");
            }
            char c = s_[pos_++];
            if (c == quote) {
                return out;
            }
            if (c == '\\' && quote == '"') {
                char e = AtEnd() ? '\0' : s_[pos_++];
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
                    case '"':
                        out += '"';
                        break;
                    case '\\':
                        out += '\\';
                        break;
                    default:
                        Fail("unsupported escape in a string");
                }
                continue;
            }
            out += c;
        }
    }

    TomlValue ParseValue() {
        SkipSpaces();
        TomlValue value;
        char c = Peek();
        if (c == '"' || c == '\'') {
            value.v = ParseString();
        } else if (c == '[') {
            ++pos_;
            auto array = std::make_shared<TomlArray>();
            for (;;) {
                SkipAllBlanks();
                if (Peek() == ']') {
                    ++pos_;
                    break;
                }
                array->push_back(ParseValue());
                SkipAllBlanks();
                if (Peek() == ',') {
                    ++pos_;
                } else if (Peek() != ']') {
                    Fail("expected ',' or ']'");
                }
            }
            value.v = array;
        } else if (c == '{') {
            ++pos_;
            auto table = std::make_shared<TomlTable>();
            for (;;) {
                // Line breaks inside inline tables, as TOML 1.1 allows and the corpus uses.
                SkipAllBlanks();
                if (Peek() == '}') {
                    ++pos_;
                    break;
                }
                std::vector<std::string> path = ParseKeyPath();
                Expect('=');
                Assign(*table, path, ParseValue());
                SkipAllBlanks();
                if (Peek() == ',') {
                    ++pos_;
                } else if (Peek() != '}') {
                    Fail("expected ',' or '}'");
                }
            }
            value.v = table;
        } else if (s_.compare(pos_, 4, "true") == 0) {
            pos_ += 4;
            value.v = true;
        } else if (s_.compare(pos_, 5, "false") == 0) {
            pos_ += 5;
            value.v = false;
        } else {
            value.v = ParseNumber();
        }
        return value;
    }

    std::variant<std::monostate, bool, std::int64_t, double, std::string,
                 std::shared_ptr<TomlArray>, std::shared_ptr<TomlTable>>
    ParseNumber() {
        std::string text;
        while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '+' ||
                            Peek() == '-' || Peek() == '.' || Peek() == '_')) {
            if (Peek() != '_') {
                text += Peek();
            }
            ++pos_;
        }
        if (text.empty()) {
            Fail("expected a value");
        }
        char* end = nullptr;
        if (text.find_first_of(".eE") == std::string::npos || text.rfind("0x", 0) == 0) {
            long long i = std::strtoll(text.c_str(), &end, 0);
            if (*end == '\0') {
                return static_cast<std::int64_t>(i);
            }
        }
        double d = std::strtod(text.c_str(), &end);
        if (*end != '\0') {
            Fail("not a number: " + text);
        }
        return d;
    }

    TomlTable* Descend(TomlTable& from, const std::string& key) {
        TomlValue& slot = from[key];
        if (std::holds_alternative<std::monostate>(slot.v)) {
            slot.v = std::make_shared<TomlTable>();
        }
        if (auto t = std::get_if<std::shared_ptr<TomlTable>>(&slot.v)) {
            return t->get();
        }
        if (auto a = std::get_if<std::shared_ptr<TomlArray>>(&slot.v)) {
            // A key path through an array of tables means its last element.
            if (!(*a)->empty() && (*a)->back().IsTable()) {
                return std::get<std::shared_ptr<TomlTable>>((*a)->back().v).get();
            }
        }
        Fail("key '" + key + "' is not a table");
    }

    TomlTable* OpenTable(TomlTable& root, const std::vector<std::string>& path) {
        TomlTable* t = &root;
        for (const auto& key : path) {
            t = Descend(*t, key);
        }
        return t;
    }

    TomlTable* AppendTable(TomlTable& root, const std::vector<std::string>& path) {
        TomlTable* parent = &root;
        for (std::size_t i = 0; i + 1 < path.size(); ++i) {
            parent = Descend(*parent, path[i]);
        }
        TomlValue& slot = (*parent)[path.back()];
        if (std::holds_alternative<std::monostate>(slot.v)) {
            slot.v = std::make_shared<TomlArray>();
        }
        auto array = std::get_if<std::shared_ptr<TomlArray>>(&slot.v);
        if (array == nullptr) {
            Fail("key '" + path.back() + "' is not an array of tables");
        }
        auto table = std::make_shared<TomlTable>();
        TomlTable* result = table.get();
        TomlValue element;
        element.v = table;
        (*array)->push_back(std::move(element));
        return result;
    }

    void Assign(TomlTable& table, const std::vector<std::string>& path, TomlValue value) {
        TomlTable* t = &table;
        for (std::size_t i = 0; i + 1 < path.size(); ++i) {
            t = Descend(*t, path[i]);
        }
        (*t)[path.back()] = std::move(value);
    }

    const std::string& s_;
    std::size_t pos_ = 0;
};

}  // namespace

TomlTable ParseToml(const std::string& text) {
    return Parser(text).Parse();
}

const TomlValue* TomlFind(const TomlTable& table, const std::string& dotted) {
    const TomlTable* t = &table;
    std::size_t start = 0;
    for (;;) {
        std::size_t dot = dotted.find('.', start);
        std::string key = dotted.substr(start, dot == std::string::npos ? dot : dot - start);
        auto it = t->find(key);
        if (it == t->end()) {
            return nullptr;
        }
        if (dot == std::string::npos) {
            return &it->second;
        }
        t = it->second.Table();
        if (t == nullptr) {
            return nullptr;
        }
        start = dot + 1;
    }
}

}  // namespace corpus
