#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "flash/avm1/value.h"

namespace flash::avm1 {

// Action codes of SWF versions 3 to 7. Codes from 0x80 carry a 16-bit length and a payload.
enum class ActionCode : std::uint8_t {
    End = 0x00,
    // SWF 3
    NextFrame = 0x04,
    PreviousFrame = 0x05,
    Play = 0x06,
    Stop = 0x07,
    ToggleQuality = 0x08,
    StopSounds = 0x09,
    GotoFrame = 0x81,
    GetURL = 0x83,
    WaitForFrame = 0x8A,
    SetTarget = 0x8B,
    GoToLabel = 0x8C,
    // SWF 4
    Add = 0x0A,
    Subtract = 0x0B,
    Multiply = 0x0C,
    Divide = 0x0D,
    Equals = 0x0E,
    Less = 0x0F,
    And = 0x10,
    Or = 0x11,
    Not = 0x12,
    StringEquals = 0x13,
    StringLength = 0x14,
    StringExtract = 0x15,
    Pop = 0x17,
    ToInteger = 0x18,
    GetVariable = 0x1C,
    SetVariable = 0x1D,
    SetTarget2 = 0x20,
    StringAdd = 0x21,
    GetProperty = 0x22,
    SetProperty = 0x23,
    CloneSprite = 0x24,
    RemoveSprite = 0x25,
    Trace = 0x26,
    StartDrag = 0x27,
    EndDrag = 0x28,
    StringLess = 0x29,
    RandomNumber = 0x30,
    MBStringLength = 0x31,
    CharToAscii = 0x32,
    AsciiToChar = 0x33,
    GetTime = 0x34,
    MBStringExtract = 0x35,
    MBCharToAscii = 0x36,
    MBAsciiToChar = 0x37,
    WaitForFrame2 = 0x8D,
    Push = 0x96,
    Jump = 0x99,
    GetURL2 = 0x9A,
    If = 0x9D,
    Call = 0x9E,
    GotoFrame2 = 0x9F,
    // SWF 5
    Delete = 0x3A,
    Delete2 = 0x3B,
    DefineLocal = 0x3C,
    CallFunction = 0x3D,
    Return = 0x3E,
    Modulo = 0x3F,
    NewObject = 0x40,
    DefineLocal2 = 0x41,
    InitArray = 0x42,
    InitObject = 0x43,
    TypeOf = 0x44,
    TargetPath = 0x45,
    Enumerate = 0x46,
    Add2 = 0x47,
    Less2 = 0x48,
    Equals2 = 0x49,
    ToNumber = 0x4A,
    ToString = 0x4B,
    PushDuplicate = 0x4C,
    StackSwap = 0x4D,
    GetMember = 0x4E,
    SetMember = 0x4F,
    Increment = 0x50,
    Decrement = 0x51,
    CallMethod = 0x52,
    NewMethod = 0x53,
    BitAnd = 0x60,
    BitOr = 0x61,
    BitXor = 0x62,
    BitLShift = 0x63,
    BitRShift = 0x64,
    BitURShift = 0x65,
    StoreRegister = 0x87,
    ConstantPool = 0x88,
    With = 0x94,
    DefineFunction = 0x9B,
    // SWF 6
    InstanceOf = 0x54,
    Enumerate2 = 0x55,
    StrictEquals = 0x66,
    Greater = 0x67,
    StringGreater = 0x68,
    // SWF 7
    Extends = 0x69,
    CastOp = 0x2B,
    ImplementsOp = 0x2C,
    Throw = 0x2A,
    DefineFunction2 = 0x8E,
    Try = 0x8F,
};

// The name of an action code for diagnostics ("Push"), or empty for an unknown code.
std::string_view ActionName(std::uint8_t code);

// One action record as stored: its code, its position and its payload. The payload points
// into the bytes given to the reader.
struct Action {
    std::uint8_t code = 0;
    std::size_t offset = 0;  // of the code byte
    std::size_t next = 0;    // offset of the following action
    std::span<const std::uint8_t> payload;

    ActionCode Code() const { return static_cast<ActionCode>(code); }
};

// Decodes action records from a byte range. A record whose length runs past the end of the
// range is reported as truncated rather than read; the code 0 (End) ends the list.
class ActionReader {
  public:
    explicit ActionReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    enum class Status { Ok, End, Truncated };

    // Decodes the record at `offset`. End for offset at or past the end or code 0.
    Status Decode(std::size_t offset, Action& action) const;

    std::span<const std::uint8_t> bytes() const { return bytes_; }

  private:
    std::span<const std::uint8_t> bytes_;
};

// Little-endian readers of action payloads that never read past the payload. Each returns
// nothing when the payload is too short.
class PayloadReader {
  public:
    explicit PayloadReader(std::span<const std::uint8_t> payload) : data_(payload) {}

    std::optional<std::uint8_t> U8();
    std::optional<std::uint16_t> U16();
    std::optional<std::int16_t> S16();
    std::optional<std::uint32_t> U32();
    std::optional<float> Float();
    std::optional<double> Double();  // the SWF layout: high 32 bits first, each little-endian
    // A zero-terminated string; the bytes without the terminator. Nothing when unterminated.
    std::optional<std::string_view> CString();

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// ---------------------------------------------------------------------------------------
// Typed actions: every payload decoded once into values, with the reader's bounds checks.
// A field the payload was too short for stays empty, so the interpreter can act as it did
// on the partial record. Text is decoded as the movie's version stores it (UTF-8 from
// SWF 6, Latin-1 before).

// No payload, or one the interpreter ignores.
struct NoPayload {};

struct GotoFrameAction {
    std::optional<std::uint16_t> frame;
};

struct GetUrlAction {
    String url;
    String target;
};

struct WaitForFrameAction {
    std::optional<std::uint16_t> frame;
    std::optional<std::uint8_t> skip;
};

struct WaitForFrame2Action {
    std::optional<std::uint8_t> skip;
};

// SetTarget and GoToLabel.
struct NameAction {
    String name;
};

// One value of a Push record.
struct PushItem {
    enum class Kind : std::uint8_t { Constant, Register, Pool };
    Kind kind = Kind::Constant;
    std::uint16_t index = 0;  // the register or constant pool entry
    Value value;              // the constant
};

// The values up to the first one that cannot be read.
struct PushAction {
    std::vector<PushItem> items;
};

// Jump and If: the offset from the following action, when present.
struct BranchAction {
    std::optional<std::int16_t> offset;
};

struct GetUrl2Action {
    std::uint8_t flags = 0;
};

struct GotoFrame2Action {
    bool play = false;
    std::uint16_t bias = 0;
};

struct StoreRegisterAction {
    std::optional<std::uint8_t> reg;
};

// The strings up to the first unterminated one.
struct ConstantPoolAction {
    std::shared_ptr<const std::vector<Value>> strings;
};

struct FunctionParameter {
    std::uint8_t reg = 0;  // DefineFunction2: 0 for a local variable
    String name;
};

// DefineFunction and DefineFunction2. The body is the `codeSize` bytes after the action.
struct FunctionDefinition {
    bool v2 = false;
    String name;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0;
    std::vector<FunctionParameter> params;
    std::uint16_t codeSize = 0;
};

// A definition the payload was too short for is empty: the action then does nothing.
struct DefineFunctionAction {
    std::optional<FunctionDefinition> function;
};

struct WithAction {
    std::uint16_t size = 0;
};

struct TryBlock {
    bool hasCatch = false;
    bool hasFinally = false;
    bool catchInRegister = false;
    std::uint8_t reg = 0;
    String name;
    std::uint16_t trySize = 0;
    std::uint16_t catchSize = 0;
    std::uint16_t finallySize = 0;
};

// Empty when the sizes cannot be read: the action then does nothing.
struct TryAction {
    std::optional<TryBlock> block;
};

using ActionPayload = std::variant<NoPayload, GotoFrameAction, GetUrlAction, WaitForFrameAction,
                                   WaitForFrame2Action, NameAction, PushAction, BranchAction,
                                   GetUrl2Action, GotoFrame2Action, StoreRegisterAction,
                                   ConstantPoolAction, DefineFunctionAction, WithAction, TryAction>;

// One action with its payload decoded.
struct DecodedAction {
    std::uint8_t code = 0;
    std::size_t offset = 0;
    std::size_t next = 0;
    ActionPayload payload;

    ActionCode Code() const { return static_cast<ActionCode>(code); }
    template <typename T>
    const T& As() const {
        return std::get<T>(payload);
    }
};

// Script text as a movie of SWF `version` stores it.
String DecodeText(std::string_view bytes, int version);

// Decodes a record's payload for a movie of SWF `version`.
DecodedAction DecodeAction(const Action& action, int version);

// The actions of one byte buffer, each decoded the first time it is asked for, so code run
// in a loop is decoded once. Jumps may land anywhere, so actions are found by offset.
class ActionProgram {
  public:
    ActionProgram(std::span<const std::uint8_t> bytes, int version);

    // The action at `offset`; null at code 0, at or past `end`, and for a record that runs
    // past `end`.
    const DecodedAction* At(std::size_t offset, std::size_t end);

    int version() const { return version_; }

  private:
    ActionReader reader_;
    int version_;
    std::vector<const DecodedAction*> slots_;  // by offset; null until decoded
    std::vector<std::unique_ptr<DecodedAction>> actions_;
};

}  // namespace flash::avm1
