#include "flash/avm1/actions.h"

#include <cstring>

namespace flash::avm1 {

std::string_view ActionName(std::uint8_t code) {
    switch (static_cast<ActionCode>(code)) {
#define FLASH_AVM1_NAME(n) \
    case ActionCode::n:    \
        return #n;
        FLASH_AVM1_NAME(End)
        FLASH_AVM1_NAME(NextFrame)
        FLASH_AVM1_NAME(PreviousFrame)
        FLASH_AVM1_NAME(Play)
        FLASH_AVM1_NAME(Stop)
        FLASH_AVM1_NAME(ToggleQuality)
        FLASH_AVM1_NAME(StopSounds)
        FLASH_AVM1_NAME(GotoFrame)
        FLASH_AVM1_NAME(GetURL)
        FLASH_AVM1_NAME(WaitForFrame)
        FLASH_AVM1_NAME(SetTarget)
        FLASH_AVM1_NAME(GoToLabel)
        FLASH_AVM1_NAME(Add)
        FLASH_AVM1_NAME(Subtract)
        FLASH_AVM1_NAME(Multiply)
        FLASH_AVM1_NAME(Divide)
        FLASH_AVM1_NAME(Equals)
        FLASH_AVM1_NAME(Less)
        FLASH_AVM1_NAME(And)
        FLASH_AVM1_NAME(Or)
        FLASH_AVM1_NAME(Not)
        FLASH_AVM1_NAME(StringEquals)
        FLASH_AVM1_NAME(StringLength)
        FLASH_AVM1_NAME(StringExtract)
        FLASH_AVM1_NAME(Pop)
        FLASH_AVM1_NAME(ToInteger)
        FLASH_AVM1_NAME(GetVariable)
        FLASH_AVM1_NAME(SetVariable)
        FLASH_AVM1_NAME(SetTarget2)
        FLASH_AVM1_NAME(StringAdd)
        FLASH_AVM1_NAME(GetProperty)
        FLASH_AVM1_NAME(SetProperty)
        FLASH_AVM1_NAME(CloneSprite)
        FLASH_AVM1_NAME(RemoveSprite)
        FLASH_AVM1_NAME(Trace)
        FLASH_AVM1_NAME(StartDrag)
        FLASH_AVM1_NAME(EndDrag)
        FLASH_AVM1_NAME(StringLess)
        FLASH_AVM1_NAME(RandomNumber)
        FLASH_AVM1_NAME(MBStringLength)
        FLASH_AVM1_NAME(CharToAscii)
        FLASH_AVM1_NAME(AsciiToChar)
        FLASH_AVM1_NAME(GetTime)
        FLASH_AVM1_NAME(MBStringExtract)
        FLASH_AVM1_NAME(MBCharToAscii)
        FLASH_AVM1_NAME(MBAsciiToChar)
        FLASH_AVM1_NAME(WaitForFrame2)
        FLASH_AVM1_NAME(Push)
        FLASH_AVM1_NAME(Jump)
        FLASH_AVM1_NAME(GetURL2)
        FLASH_AVM1_NAME(If)
        FLASH_AVM1_NAME(Call)
        FLASH_AVM1_NAME(GotoFrame2)
        FLASH_AVM1_NAME(Delete)
        FLASH_AVM1_NAME(Delete2)
        FLASH_AVM1_NAME(DefineLocal)
        FLASH_AVM1_NAME(CallFunction)
        FLASH_AVM1_NAME(Return)
        FLASH_AVM1_NAME(Modulo)
        FLASH_AVM1_NAME(NewObject)
        FLASH_AVM1_NAME(DefineLocal2)
        FLASH_AVM1_NAME(InitArray)
        FLASH_AVM1_NAME(InitObject)
        FLASH_AVM1_NAME(TypeOf)
        FLASH_AVM1_NAME(TargetPath)
        FLASH_AVM1_NAME(Enumerate)
        FLASH_AVM1_NAME(Add2)
        FLASH_AVM1_NAME(Less2)
        FLASH_AVM1_NAME(Equals2)
        FLASH_AVM1_NAME(ToNumber)
        FLASH_AVM1_NAME(ToString)
        FLASH_AVM1_NAME(PushDuplicate)
        FLASH_AVM1_NAME(StackSwap)
        FLASH_AVM1_NAME(GetMember)
        FLASH_AVM1_NAME(SetMember)
        FLASH_AVM1_NAME(Increment)
        FLASH_AVM1_NAME(Decrement)
        FLASH_AVM1_NAME(CallMethod)
        FLASH_AVM1_NAME(NewMethod)
        FLASH_AVM1_NAME(BitAnd)
        FLASH_AVM1_NAME(BitOr)
        FLASH_AVM1_NAME(BitXor)
        FLASH_AVM1_NAME(BitLShift)
        FLASH_AVM1_NAME(BitRShift)
        FLASH_AVM1_NAME(BitURShift)
        FLASH_AVM1_NAME(StoreRegister)
        FLASH_AVM1_NAME(ConstantPool)
        FLASH_AVM1_NAME(With)
        FLASH_AVM1_NAME(DefineFunction)
        FLASH_AVM1_NAME(InstanceOf)
        FLASH_AVM1_NAME(Enumerate2)
        FLASH_AVM1_NAME(StrictEquals)
        FLASH_AVM1_NAME(Greater)
        FLASH_AVM1_NAME(StringGreater)
        FLASH_AVM1_NAME(Extends)
        FLASH_AVM1_NAME(CastOp)
        FLASH_AVM1_NAME(ImplementsOp)
        FLASH_AVM1_NAME(Throw)
        FLASH_AVM1_NAME(DefineFunction2)
        FLASH_AVM1_NAME(Try)
#undef FLASH_AVM1_NAME
    }
    return {};
}

ActionReader::Status ActionReader::Decode(std::size_t offset, Action& action) const {
    if (offset >= bytes_.size() || bytes_[offset] == 0) {
        return Status::End;
    }
    action.code = bytes_[offset];
    action.offset = offset;
    if (action.code < 0x80) {
        action.payload = {};
        action.next = offset + 1;
        return Status::Ok;
    }
    if (bytes_.size() - offset < 3) {
        return Status::Truncated;
    }
    std::size_t length = bytes_[offset + 1] | (static_cast<std::size_t>(bytes_[offset + 2]) << 8);
    if (bytes_.size() - offset - 3 < length) {
        return Status::Truncated;
    }
    action.payload = bytes_.subspan(offset + 3, length);
    action.next = offset + 3 + length;
    return Status::Ok;
}

std::optional<std::uint8_t> PayloadReader::U8() {
    if (remaining() < 1) {
        return std::nullopt;
    }
    return data_[pos_++];
}

std::optional<std::uint16_t> PayloadReader::U16() {
    if (remaining() < 2) {
        return std::nullopt;
    }
    auto v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::optional<std::int16_t> PayloadReader::S16() {
    auto v = U16();
    if (!v) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(*v);
}

std::optional<std::uint32_t> PayloadReader::U32() {
    if (remaining() < 4) {
        return std::nullopt;
    }
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | data_[pos_ + static_cast<std::size_t>(i)];
    }
    pos_ += 4;
    return v;
}

std::optional<float> PayloadReader::Float() {
    auto bits = U32();
    if (!bits) {
        return std::nullopt;
    }
    float f;
    std::memcpy(&f, &*bits, sizeof f);
    return f;
}

std::optional<double> PayloadReader::Double() {
    if (remaining() < 8) {
        return std::nullopt;
    }
    std::uint64_t high = *U32();
    std::uint64_t low = *U32();
    std::uint64_t bits = (high << 32) | low;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

std::optional<std::string_view> PayloadReader::CString() {
    for (std::size_t i = pos_; i < data_.size(); ++i) {
        if (data_[i] == 0) {
            std::string_view s(reinterpret_cast<const char*>(data_.data() + pos_), i - pos_);
            pos_ = i + 1;
            return s;
        }
    }
    return std::nullopt;
}

}  // namespace flash::avm1
