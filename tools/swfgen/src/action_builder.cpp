#include "swfgen/action_builder.h"

#include <cstring>
#include <stdexcept>

namespace swfgen {

ActionBuilder& ActionBuilder::Op(std::uint8_t code) {
    bytes_.push_back(code);
    return *this;
}

ActionBuilder& ActionBuilder::Op(std::uint8_t code, std::span<const std::uint8_t> data) {
    bytes_.push_back(code);
    if (code >= 0x80) {
        bytes_.push_back(static_cast<std::uint8_t>(data.size() & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(data.size() >> 8));
    }
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
}

ActionBuilder& ActionBuilder::Raw(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

ActionBuilder& ActionBuilder::GotoFrame(std::uint16_t frame) {
    BitWriter w;
    w.U16(frame);
    return Op(kActionGotoFrame, w.bytes());
}

ActionBuilder& ActionBuilder::GotoLabel(const std::string& label) {
    BitWriter w;
    w.String(label);
    return Op(kActionGotoLabel, w.bytes());
}

ActionBuilder& ActionBuilder::GetUrl(const std::string& url, const std::string& target) {
    BitWriter w;
    w.String(url);
    w.String(target);
    return Op(kActionGetUrl, w.bytes());
}

ActionBuilder& ActionBuilder::SetTarget(const std::string& target) {
    BitWriter w;
    w.String(target);
    return Op(kActionSetTarget, w.bytes());
}

ActionBuilder& ActionBuilder::ConstantPool(const std::vector<std::string>& constants) {
    BitWriter w;
    w.U16(static_cast<std::uint16_t>(constants.size()));
    for (const auto& c : constants) {
        w.String(c);
    }
    return Op(kActionConstantPool, w.bytes());
}

ActionBuilder& ActionBuilder::Push(const std::string& s) {
    BitWriter w;
    w.U8(0);
    w.String(s);
    return Op(kActionPush, w.bytes());
}

ActionBuilder& ActionBuilder::PushNumber(double d) {
    // Doubles in actions store their high word first.
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    BitWriter w;
    w.U8(6);
    w.U32(static_cast<std::uint32_t>(bits >> 32));
    w.U32(static_cast<std::uint32_t>(bits));
    return Op(kActionPush, w.bytes());
}

ActionBuilder& ActionBuilder::PushInteger(std::int32_t i) {
    BitWriter w;
    w.U8(7);
    w.U32(static_cast<std::uint32_t>(i));
    return Op(kActionPush, w.bytes());
}

ActionBuilder& ActionBuilder::PushBool(bool b) {
    const std::uint8_t data[2] = {5, std::uint8_t(b ? 1 : 0)};
    return Op(kActionPush, data);
}

ActionBuilder& ActionBuilder::PushNull() {
    const std::uint8_t data[1] = {2};
    return Op(kActionPush, data);
}

ActionBuilder& ActionBuilder::PushUndefined() {
    const std::uint8_t data[1] = {3};
    return Op(kActionPush, data);
}

ActionBuilder& ActionBuilder::PushConstant(std::uint16_t index) {
    BitWriter w;
    if (index < 256) {
        w.U8(8);
        w.U8(static_cast<std::uint8_t>(index));
    } else {
        w.U8(9);
        w.U16(index);
    }
    return Op(kActionPush, w.bytes());
}

ActionBuilder& ActionBuilder::Label(const std::string& name) {
    labels_[name] = bytes_.size();
    return *this;
}

ActionBuilder& ActionBuilder::Branch(std::uint8_t code, const std::string& label) {
    const std::uint8_t data[2] = {0, 0};
    Op(code, data);
    branches_.emplace_back(bytes_.size() - 2, label);
    return *this;
}

ActionBuilder& ActionBuilder::Jump(const std::string& label) {
    return Branch(kActionJump, label);
}

ActionBuilder& ActionBuilder::If(const std::string& label) {
    return Branch(kActionIf, label);
}

Bytes ActionBuilder::Build() const {
    Bytes out = bytes_;
    for (const auto& [at, label] : branches_) {
        const auto it = labels_.find(label);
        if (it == labels_.end()) {
            throw std::invalid_argument("unknown action label " + label);
        }
        // Branch offsets count from the end of the branch action.
        const auto offset = static_cast<std::int16_t>(std::int64_t(it->second) - (at + 2));
        out[at] = static_cast<std::uint8_t>(offset & 0xFF);
        out[at + 1] = static_cast<std::uint8_t>((offset >> 8) & 0xFF);
    }
    out.push_back(kActionEnd);
    return out;
}

}  // namespace swfgen
