#include "flash/avm1/testing/assembler.h"

#include <cstring>
#include <memory>
#include <stdexcept>

namespace flash::avm1::testing {

namespace {

void U16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void U32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void Str(std::vector<std::uint8_t>& out, const std::string& s) {
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
}

}  // namespace

Assembler& Assembler::Record(ActionCode code, const std::vector<std::uint8_t>& payload) {
    bytes_.push_back(static_cast<std::uint8_t>(code));
    if (static_cast<std::uint8_t>(code) >= 0x80) {
        U16(bytes_, static_cast<std::uint16_t>(payload.size()));
        bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    }
    return *this;
}

Assembler& Assembler::Op(ActionCode code) {
    return Record(code, {});
}

Assembler& Assembler::Raw(std::vector<std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

Assembler& Assembler::PushRecord(const std::vector<std::uint8_t>& item) {
    return Record(ActionCode::Push, item);
}

Assembler& Assembler::Push(const std::string& s) {
    std::vector<std::uint8_t> p{0};
    Str(p, s);
    return PushRecord(p);
}

Assembler& Assembler::Push(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    std::vector<std::uint8_t> p{6};
    U32(p, static_cast<std::uint32_t>(bits >> 32));
    U32(p, static_cast<std::uint32_t>(bits));
    return PushRecord(p);
}

Assembler& Assembler::PushInt(std::int32_t i) {
    std::vector<std::uint8_t> p{7};
    U32(p, static_cast<std::uint32_t>(i));
    return PushRecord(p);
}

Assembler& Assembler::PushFloat(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    std::vector<std::uint8_t> p{1};
    U32(p, bits);
    return PushRecord(p);
}

Assembler& Assembler::PushBool(bool b) {
    return PushRecord({5, static_cast<std::uint8_t>(b)});
}
Assembler& Assembler::PushNull() {
    return PushRecord({2});
}
Assembler& Assembler::PushUndefined() {
    return PushRecord({3});
}
Assembler& Assembler::PushRegister(std::uint8_t r) {
    return PushRecord({4, r});
}

Assembler& Assembler::PushConstant(std::uint16_t index) {
    if (index < 256) {
        return PushRecord({8, static_cast<std::uint8_t>(index)});
    }
    std::vector<std::uint8_t> p{9};
    U16(p, index);
    return PushRecord(p);
}

Assembler& Assembler::ConstantPool(const std::vector<std::string>& strings) {
    std::vector<std::uint8_t> p;
    U16(p, static_cast<std::uint16_t>(strings.size()));
    for (const auto& s : strings) {
        Str(p, s);
    }
    return Record(ActionCode::ConstantPool, p);
}

Assembler& Assembler::GotoFrame(std::uint16_t frame) {
    std::vector<std::uint8_t> p;
    U16(p, frame);
    return Record(ActionCode::GotoFrame, p);
}

Assembler& Assembler::GetUrl(const std::string& url, const std::string& target) {
    std::vector<std::uint8_t> p;
    Str(p, url);
    Str(p, target);
    return Record(ActionCode::GetURL, p);
}

Assembler& Assembler::GetUrl2(std::uint8_t flags) {
    return Record(ActionCode::GetURL2, {flags});
}

Assembler& Assembler::GotoFrame2(bool play, std::uint16_t bias) {
    std::vector<std::uint8_t> p{static_cast<std::uint8_t>((play ? 1 : 0) | (bias ? 2 : 0))};
    if (bias) {
        U16(p, bias);
    }
    return Record(ActionCode::GotoFrame2, p);
}

Assembler& Assembler::SetTarget(const std::string& path) {
    std::vector<std::uint8_t> p;
    Str(p, path);
    return Record(ActionCode::SetTarget, p);
}

Assembler& Assembler::GoToLabel(const std::string& label) {
    std::vector<std::uint8_t> p;
    Str(p, label);
    return Record(ActionCode::GoToLabel, p);
}

Assembler& Assembler::WaitForFrame(std::uint16_t frame, std::uint8_t skip) {
    std::vector<std::uint8_t> p;
    U16(p, frame);
    p.push_back(skip);
    return Record(ActionCode::WaitForFrame, p);
}

Assembler& Assembler::WaitForFrame2(std::uint8_t skip) {
    return Record(ActionCode::WaitForFrame2, {skip});
}

Assembler& Assembler::StoreRegister(std::uint8_t r) {
    return Record(ActionCode::StoreRegister, {r});
}

Assembler& Assembler::Label(const std::string& name) {
    labels_[name] = bytes_.size();
    return *this;
}

Assembler& Assembler::Jump(const std::string& label) {
    Record(ActionCode::Jump, {0, 0});
    fixups_.emplace_back(bytes_.size() - 2, label);
    return *this;
}

Assembler& Assembler::If(const std::string& label) {
    Record(ActionCode::If, {0, 0});
    fixups_.emplace_back(bytes_.size() - 2, label);
    return *this;
}

Assembler& Assembler::Function(const std::string& name, const std::vector<std::string>& params,
                               const Assembler& body) {
    std::vector<std::uint8_t> code = body.Body();
    std::vector<std::uint8_t> p;
    Str(p, name);
    U16(p, static_cast<std::uint16_t>(params.size()));
    for (const auto& param : params) {
        Str(p, param);
    }
    U16(p, static_cast<std::uint16_t>(code.size()));
    Record(ActionCode::DefineFunction, p);
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
}

Assembler& Assembler::Function2(const std::string& name, std::uint8_t registers,
                                std::uint16_t flags, const std::vector<Param>& params,
                                const Assembler& body) {
    std::vector<std::uint8_t> code = body.Body();
    std::vector<std::uint8_t> p;
    Str(p, name);
    U16(p, static_cast<std::uint16_t>(params.size()));
    p.push_back(registers);
    U16(p, flags);
    for (const auto& param : params) {
        p.push_back(param.reg);
        Str(p, param.name);
    }
    U16(p, static_cast<std::uint16_t>(code.size()));
    Record(ActionCode::DefineFunction2, p);
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
}

Assembler& Assembler::With(const Assembler& body) {
    std::vector<std::uint8_t> code = body.Body();
    std::vector<std::uint8_t> p;
    U16(p, static_cast<std::uint16_t>(code.size()));
    Record(ActionCode::With, p);
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
}

Assembler& Assembler::Try(const Assembler& body, const Assembler* catchBody,
                          const Assembler* finallyBody, const std::string& name, std::uint8_t reg) {
    std::vector<std::uint8_t> t = body.Body();
    std::vector<std::uint8_t> c = catchBody ? catchBody->Body() : std::vector<std::uint8_t>{};
    std::vector<std::uint8_t> f = finallyBody ? finallyBody->Body() : std::vector<std::uint8_t>{};
    std::vector<std::uint8_t> p;
    std::uint8_t flags = static_cast<std::uint8_t>((catchBody ? 1 : 0) | (finallyBody ? 2 : 0) |
                                                   (name.empty() ? 4 : 0));
    p.push_back(flags);
    U16(p, static_cast<std::uint16_t>(t.size()));
    U16(p, static_cast<std::uint16_t>(c.size()));
    U16(p, static_cast<std::uint16_t>(f.size()));
    if (name.empty()) {
        p.push_back(reg);
    } else {
        Str(p, name);
    }
    Record(ActionCode::Try, p);
    bytes_.insert(bytes_.end(), t.begin(), t.end());
    bytes_.insert(bytes_.end(), c.begin(), c.end());
    bytes_.insert(bytes_.end(), f.begin(), f.end());
    return *this;
}

std::vector<std::uint8_t> Assembler::Body() const {
    std::vector<std::uint8_t> out = bytes_;
    for (const auto& [at, label] : fixups_) {
        auto it = labels_.find(label);
        if (it == labels_.end()) {
            throw std::logic_error("unknown label " + label);
        }
        auto offset = static_cast<std::int64_t>(it->second) - static_cast<std::int64_t>(at + 2);
        auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(offset));
        out[at] = static_cast<std::uint8_t>(v & 0xFF);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    return out;
}

std::vector<std::uint8_t> Assembler::Bytes() const {
    std::vector<std::uint8_t> out = Body();
    out.push_back(0);
    return out;
}

ActionBytes Assembler::Shared() const {
    return std::make_shared<const std::vector<std::uint8_t>>(Bytes());
}

}  // namespace flash::avm1::testing
