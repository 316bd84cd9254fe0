#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "swfgen/bit_writer.h"

namespace swfgen {

// Some action codes, for Op().
enum ActionCode : std::uint8_t {
    kActionEnd = 0x00,
    kActionNextFrame = 0x04,
    kActionPreviousFrame = 0x05,
    kActionPlay = 0x06,
    kActionStop = 0x07,
    kActionAdd = 0x0A,
    kActionSubtract = 0x0B,
    kActionMultiply = 0x0C,
    kActionDivide = 0x0D,
    kActionEquals = 0x0E,
    kActionLess = 0x0F,
    kActionNot = 0x12,
    kActionPop = 0x17,
    kActionGetVariable = 0x1C,
    kActionSetVariable = 0x1D,
    kActionSetTarget2 = 0x20,
    kActionStringAdd = 0x21,
    kActionGetProperty = 0x22,
    kActionSetProperty = 0x23,
    kActionTrace = 0x26,
    kActionGetTime = 0x34,
    kActionAdd2 = 0x47,
    kActionEquals2 = 0x49,
    kActionGetMember = 0x4E,
    kActionSetMember = 0x4F,
    kActionGotoFrame = 0x81,
    kActionGetUrl = 0x83,
    kActionConstantPool = 0x88,
    kActionSetTarget = 0x8B,
    kActionGotoLabel = 0x8C,
    kActionPush = 0x96,
    kActionJump = 0x99,
    kActionGetUrl2 = 0x9A,
    kActionIf = 0x9D,
    kActionGotoFrame2 = 0x9F,
};

// Assembles action bytes for DoAction, DoInitAction, clip and button actions. Jumps and
// branches go to named labels; Build() resolves them and adds the closing End.
class ActionBuilder {
  public:
    ActionBuilder& Op(std::uint8_t code);  // an action without data
    ActionBuilder& Op(std::uint8_t code, std::span<const std::uint8_t> data);
    // Bytes as they are (a function's body after its DefineFunction).
    ActionBuilder& Raw(std::span<const std::uint8_t> bytes);

    ActionBuilder& Stop() { return Op(kActionStop); }
    ActionBuilder& Play() { return Op(kActionPlay); }
    ActionBuilder& Trace() { return Op(kActionTrace); }
    ActionBuilder& GetVariable() { return Op(kActionGetVariable); }
    ActionBuilder& SetVariable() { return Op(kActionSetVariable); }
    ActionBuilder& GotoFrame(std::uint16_t frame);  // 0-based
    ActionBuilder& GotoLabel(const std::string& label);
    ActionBuilder& GetUrl(const std::string& url, const std::string& target);
    ActionBuilder& SetTarget(const std::string& target);
    ActionBuilder& ConstantPool(const std::vector<std::string>& constants);

    // One Push action per call.
    ActionBuilder& Push(const std::string& s);
    ActionBuilder& Push(const char* s) { return Push(std::string(s)); }
    ActionBuilder& PushNumber(double d);         // type 6, a double
    ActionBuilder& PushInteger(std::int32_t i);  // type 7
    ActionBuilder& PushBool(bool b);
    ActionBuilder& PushNull();
    ActionBuilder& PushUndefined();
    ActionBuilder& PushConstant(std::uint16_t index);

    // trace(text)
    ActionBuilder& TraceText(const std::string& text) { return Push(text).Trace(); }
    // name = value (both as strings)
    ActionBuilder& SetVar(const std::string& name, const std::string& value) {
        return Push(name).Push(value).SetVariable();
    }

    ActionBuilder& Label(const std::string& name);
    ActionBuilder& Jump(const std::string& label);
    ActionBuilder& If(const std::string& label);

    Bytes Build() const;

  private:
    ActionBuilder& Branch(std::uint8_t code, const std::string& label);

    Bytes bytes_;
    std::map<std::string, std::size_t> labels_;
    std::vector<std::pair<std::size_t, std::string>> branches_;  // offset of the SI16, label
};

}  // namespace swfgen
