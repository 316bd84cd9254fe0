// Action payloads to typed values, and the per-buffer cache of decoded actions.
#include <algorithm>

#include "flash/avm1/actions.h"

namespace flash::avm1 {

namespace {

String TextOr(PayloadReader& r, int version) {
    return DecodeText(r.CString().value_or(""), version);
}

// The values up to the first one that cannot be read; an unknown type ends the record.
PushAction DecodePush(PayloadReader& r, int version) {
    PushAction push;
    while (!r.AtEnd()) {
        auto type = r.U8();
        PushItem item;
        switch (type.value_or(255)) {
            case 0: {
                auto s = r.CString();
                if (!s) {
                    return push;
                }
                item.value = Value::Str(DecodeText(*s, version));
                break;
            }
            case 1: {
                auto f = r.Float();
                if (!f) {
                    return push;
                }
                item.value = Value::Number(*f);
                break;
            }
            case 2:
                item.value = Value::Null();
                break;
            case 3:
                break;
            case 4: {
                auto reg = r.U8();
                if (!reg) {
                    return push;
                }
                item.kind = PushItem::Kind::Register;
                item.index = *reg;
                break;
            }
            case 5: {
                auto b = r.U8();
                if (!b) {
                    return push;
                }
                item.value = Value::Bool(*b != 0);
                break;
            }
            case 6: {
                auto d = r.Double();
                if (!d) {
                    return push;
                }
                item.value = Value::Number(*d);
                break;
            }
            case 7: {
                auto i = r.U32();
                if (!i) {
                    return push;
                }
                item.value = Value::Number(static_cast<std::int32_t>(*i));
                break;
            }
            case 8:
            case 9: {
                auto index = *type == 8 ? std::optional<std::uint16_t>(r.U8()) : r.U16();
                if (!index) {
                    return push;
                }
                item.kind = PushItem::Kind::Pool;
                item.index = *index;
                break;
            }
            default:
                return push;
        }
        push.items.push_back(std::move(item));
    }
    return push;
}

ConstantPoolAction DecodeConstantPool(PayloadReader& r, std::size_t payloadSize, int version) {
    auto count = r.U16().value_or(0);
    auto pool = std::make_shared<std::vector<Value>>();
    pool->reserve(std::min<std::size_t>(count, payloadSize));
    for (int i = 0; i < count; ++i) {
        auto s = r.CString();
        if (!s) {
            break;
        }
        pool->push_back(Value::Str(DecodeText(*s, version)));
    }
    return ConstantPoolAction{std::move(pool)};
}

std::optional<FunctionDefinition> DecodeFunction(PayloadReader& r, bool v2, int version) {
    FunctionDefinition fn;
    fn.v2 = v2;
    auto name = r.CString();
    auto paramCount = r.U16();
    if (!name || !paramCount) {
        return std::nullopt;
    }
    fn.name = DecodeText(*name, version);
    if (v2) {
        auto regs = r.U8();
        auto flags = r.U16();
        if (!regs || !flags) {
            return std::nullopt;
        }
        fn.registerCount = *regs;
        fn.flags = *flags;
    }
    for (int i = 0; i < *paramCount; ++i) {
        FunctionParameter p;
        if (v2) {
            auto reg = r.U8();
            if (!reg) {
                return std::nullopt;
            }
            p.reg = *reg;
        }
        auto pname = r.CString();
        if (!pname) {
            return std::nullopt;
        }
        p.name = DecodeText(*pname, version);
        fn.params.push_back(std::move(p));
    }
    auto codeSize = r.U16();
    if (!codeSize) {
        return std::nullopt;
    }
    fn.codeSize = *codeSize;
    return fn;
}

std::optional<TryBlock> DecodeTry(PayloadReader& r, int version) {
    auto flags = r.U8();
    auto trySize = r.U16();
    auto catchSize = r.U16();
    auto finallySize = r.U16();
    if (!flags || !trySize || !catchSize || !finallySize) {
        return std::nullopt;
    }
    TryBlock t;
    t.hasCatch = (*flags & 1) != 0;
    t.hasFinally = (*flags & 2) != 0;
    t.catchInRegister = (*flags & 4) != 0;
    if (t.catchInRegister) {
        t.reg = r.U8().value_or(0);
    } else {
        t.name = TextOr(r, version);
    }
    t.trySize = *trySize;
    t.catchSize = *catchSize;
    t.finallySize = *finallySize;
    return t;
}

GotoFrame2Action DecodeGotoFrame2(PayloadReader& r) {
    std::uint8_t flags = r.U8().value_or(0);
    GotoFrame2Action g;
    g.play = (flags & 1) != 0;
    if (flags & 2) {
        g.bias = r.U16().value_or(0);
    }
    return g;
}

ActionPayload DecodePayload(const Action& a, int version) {
    PayloadReader r(a.payload);
    switch (a.Code()) {
        case ActionCode::GotoFrame:
            return GotoFrameAction{r.U16()};
        case ActionCode::GetURL: {
            String url = TextOr(r, version);
            return GetUrlAction{std::move(url), TextOr(r, version)};
        }
        case ActionCode::WaitForFrame: {
            auto frame = r.U16();
            return WaitForFrameAction{frame, r.U8()};
        }
        case ActionCode::WaitForFrame2:
            return WaitForFrame2Action{r.U8()};
        case ActionCode::SetTarget:
        case ActionCode::GoToLabel:
            return NameAction{TextOr(r, version)};
        case ActionCode::Push:
            return DecodePush(r, version);
        case ActionCode::Jump:
        case ActionCode::If:
            return BranchAction{r.S16()};
        case ActionCode::GetURL2:
            return GetUrl2Action{r.U8().value_or(0)};
        case ActionCode::GotoFrame2:
            return DecodeGotoFrame2(r);
        case ActionCode::StoreRegister:
            return StoreRegisterAction{r.U8()};
        case ActionCode::ConstantPool:
            return DecodeConstantPool(r, a.payload.size(), version);
        case ActionCode::DefineFunction:
        case ActionCode::DefineFunction2:
            return DefineFunctionAction{
                DecodeFunction(r, a.Code() == ActionCode::DefineFunction2, version)};
        case ActionCode::With:
            return WithAction{r.U16().value_or(0)};
        case ActionCode::Try:
            return TryAction{DecodeTry(r, version)};
        default:
            return NoPayload{};
    }
}

// Marks offsets where no action can be read.
const DecodedAction kNoAction{};

}  // namespace

String DecodeText(std::string_view bytes, int version) {
    return version >= 6 ? FromUtf8(bytes) : FromLatin1(bytes);
}

DecodedAction DecodeAction(const Action& action, int version) {
    DecodedAction d;
    d.code = action.code;
    d.offset = action.offset;
    d.next = action.next;
    d.payload = DecodePayload(action, version);
    return d;
}

ActionProgram::ActionProgram(std::span<const std::uint8_t> bytes, int version)
    : reader_(bytes), version_(version), slots_(bytes.size(), nullptr) {}

const DecodedAction* ActionProgram::At(std::size_t offset, std::size_t end) {
    if (offset >= end || offset >= slots_.size()) {
        return nullptr;
    }
    const DecodedAction*& slot = slots_[offset];
    if (!slot) {
        Action record;
        if (reader_.Decode(offset, record) != ActionReader::Status::Ok) {
            slot = &kNoAction;
        } else {
            actions_.push_back(std::make_unique<DecodedAction>(DecodeAction(record, version_)));
            slot = actions_.back().get();
        }
    }
    if (slot == &kNoAction || slot->next > end) {
        return nullptr;
    }
    return slot;
}

}  // namespace flash::avm1
