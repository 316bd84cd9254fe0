#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace corpus {

// The part of TOML that the corpus's test.toml files use: tables, arrays of tables, dotted and
// quoted keys, strings, integers, floats, booleans, arrays and inline tables.
struct TomlValue;
using TomlTable = std::map<std::string, TomlValue>;
using TomlArray = std::vector<TomlValue>;

struct TomlValue {
    std::variant<std::monostate, bool, std::int64_t, double, std::string,
                 std::shared_ptr<TomlArray>, std::shared_ptr<TomlTable>>
        v;

    bool IsTable() const { return std::holds_alternative<std::shared_ptr<TomlTable>>(v); }
    bool IsArray() const { return std::holds_alternative<std::shared_ptr<TomlArray>>(v); }
    const TomlTable* Table() const;
    const TomlArray* Array() const;
    // Numbers convert between integer and float; other kinds give the fallback.
    double Number(double fallback) const;
    std::int64_t Integer(std::int64_t fallback) const;
    bool Bool(bool fallback) const;
    std::string String(const std::string& fallback) const;
};

class TomlError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

TomlTable ParseToml(const std::string& text);

// Looks up a dotted path of plain keys ("player_options.with_renderer"); null when missing.
const TomlValue* TomlFind(const TomlTable& table, const std::string& dotted);

}  // namespace corpus
