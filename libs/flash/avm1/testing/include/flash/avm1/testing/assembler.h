#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "flash/avm1/actions.h"
#include "flash/avm1/host.h"

namespace flash::avm1::testing {

// Writes action bytes for tests, fuzz seeds and benchmarks. Strings are written as given
// (UTF-8). Branches name labels that may be placed later.
class Assembler {
  public:
    Assembler& Op(ActionCode code);
    Assembler& Raw(std::vector<std::uint8_t> bytes);

    // Push records: one value each; chain them for several.
    Assembler& Push(const std::string& s);
    Assembler& Push(const char* s) { return Push(std::string(s)); }
    Assembler& Push(double d);
    Assembler& PushInt(std::int32_t i);
    Assembler& PushFloat(float f);
    Assembler& PushBool(bool b);
    Assembler& PushNull();
    Assembler& PushUndefined();
    Assembler& PushRegister(std::uint8_t r);
    Assembler& PushConstant(std::uint16_t index);

    Assembler& ConstantPool(const std::vector<std::string>& strings);
    Assembler& GotoFrame(std::uint16_t frame);
    Assembler& GetUrl(const std::string& url, const std::string& target);
    Assembler& GetUrl2(std::uint8_t flags);
    Assembler& GotoFrame2(bool play, std::uint16_t bias = 0);
    Assembler& SetTarget(const std::string& path);
    Assembler& GoToLabel(const std::string& label);
    Assembler& WaitForFrame(std::uint16_t frame, std::uint8_t skip);
    Assembler& WaitForFrame2(std::uint8_t skip);
    Assembler& StoreRegister(std::uint8_t r);

    Assembler& Label(const std::string& name);
    Assembler& Jump(const std::string& label);
    Assembler& If(const std::string& label);

    // DefineFunction with named parameters.
    Assembler& Function(const std::string& name, const std::vector<std::string>& params,
                        const Assembler& body);
    struct Param {
        std::uint8_t reg;
        std::string name;
    };
    // DefineFunction2.
    Assembler& Function2(const std::string& name, std::uint8_t registers, std::uint16_t flags,
                         const std::vector<Param>& params, const Assembler& body);
    Assembler& With(const Assembler& body);
    // Try with catch into a variable (or register when `name` is empty) and/or finally.
    Assembler& Try(const Assembler& body, const Assembler* catchBody, const Assembler* finallyBody,
                   const std::string& name, std::uint8_t reg = 0);

    // Convenience: trace(value pushed by the caller).
    Assembler& Trace() { return Op(ActionCode::Trace); }

    std::vector<std::uint8_t> Bytes() const;  // resolves labels, appends End
    std::vector<std::uint8_t> Body() const;   // without End, for nested bodies
    ActionBytes Shared() const;

  private:
    Assembler& Record(ActionCode code, const std::vector<std::uint8_t>& payload);
    Assembler& PushRecord(const std::vector<std::uint8_t>& item);

    std::vector<std::uint8_t> bytes_;
    std::map<std::string, std::size_t> labels_;
    std::vector<std::pair<std::size_t, std::string>> fixups_;  // offset of the s16, label
};

}  // namespace flash::avm1::testing
