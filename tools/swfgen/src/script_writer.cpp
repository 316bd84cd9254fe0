#include "swfgen/script_writer.h"

#include "swfgen/bit_writer.h"

namespace swfgen {

namespace {

enum : std::uint8_t {
    kCallFunction = 0x3D,
    kCallMethod = 0x52,
    kDefineLocal = 0x3C,
    kDefineFunction = 0x9B,
    kGetMember = 0x4E,
    kNewObject = 0x40,
    kReturn = 0x3E,
    kSetMember = 0x4F,
};

// Arguments go on the stack last first, then their count.
void PushArgs(ScriptWriter& w, const std::vector<Expr>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        w.Push(*it);
    }
    w.Actions().PushInteger(static_cast<std::int32_t>(args.size()));
}

}  // namespace

Expr Str(std::string s) {
    return [s = std::move(s)](ScriptWriter& w) { w.Actions().Push(s); };
}

Expr Num(double d) {
    return [d](ScriptWriter& w) { w.Actions().PushNumber(d); };
}

Expr Bool(bool b) {
    return [b](ScriptWriter& w) { w.Actions().PushBool(b); };
}

Expr Null() {
    return [](ScriptWriter& w) { w.Actions().PushNull(); };
}

Expr Var(std::string name) {
    return [name = std::move(name)](ScriptWriter& w) { w.Actions().Push(name).GetVariable(); };
}

Expr Member(Expr object, std::string name) {
    return [object = std::move(object), name = std::move(name)](ScriptWriter& w) {
        w.Push(object);
        w.Actions().Push(name).Op(kGetMember);
    };
}

Expr Call(Expr object, std::string method, std::vector<Expr> args) {
    return [object = std::move(object), method = std::move(method),
            args = std::move(args)](ScriptWriter& w) {
        PushArgs(w, args);
        w.Push(object);
        w.Actions().Push(method).Op(kCallMethod);
    };
}

Expr New(std::string className, std::vector<Expr> args) {
    return [className = std::move(className), args = std::move(args)](ScriptWriter& w) {
        PushArgs(w, args);
        w.Actions().Push(className).Op(kNewObject);
    };
}

Expr Binary(std::uint8_t code, Expr a, Expr b) {
    return [code, a = std::move(a), b = std::move(b)](ScriptWriter& w) {
        w.Push(a).Push(b);
        w.Actions().Op(code);
    };
}

Expr Not(Expr a) {
    return [a = std::move(a)](ScriptWriter& w) {
        w.Push(a);
        w.Actions().Op(kActionNot);
    };
}

Expr Choose(Expr condition, Expr a, Expr b) {
    return [condition = std::move(condition), a = std::move(a), b = std::move(b)](ScriptWriter& w) {
        const std::string yes = w.NewLabel();
        const std::string end = w.NewLabel();
        w.Push(condition);
        w.Actions().If(yes);
        w.Push(b);
        w.Actions().Jump(end).Label(yes);
        w.Push(a);
        w.Actions().Label(end);
    };
}

Expr Function(std::vector<std::string> params, Block body) {
    return [params = std::move(params), body = std::move(body)](ScriptWriter& w) {
        ScriptWriter inner;
        body(inner);
        Bytes code = inner.Build();
        code.pop_back();  // the End closes the frame's actions, not the function
        BitWriter header;
        header.String("");
        header.U16(static_cast<std::uint16_t>(params.size()));
        for (const std::string& p : params) {
            header.String(p);
        }
        header.U16(static_cast<std::uint16_t>(code.size()));
        w.Actions().Op(kDefineFunction, header.bytes()).Raw(code);
    };
}

ScriptWriter& ScriptWriter::Push(const Expr& e) {
    e(*this);
    return *this;
}

ScriptWriter& ScriptWriter::Set(const std::string& name, const Expr& value, bool local) {
    a_.Push(name);
    Push(value);
    if (local) {
        a_.Op(kDefineLocal);
    } else {
        a_.SetVariable();
    }
    return *this;
}

ScriptWriter& ScriptWriter::SetMember(const Expr& object, const std::string& name,
                                      const Expr& value) {
    Push(object);
    a_.Push(name);
    Push(value);
    a_.Op(kSetMember);
    return *this;
}

ScriptWriter& ScriptWriter::Do(const Expr& e) {
    Push(e);
    a_.Op(kActionPop);
    return *this;
}

ScriptWriter& ScriptWriter::If(const Expr& condition, const Block& then, const Block& otherwise) {
    const std::string skip = NewLabel();
    const std::string end = NewLabel();
    Push(condition);
    a_.Op(kActionNot).If(skip);
    then(*this);
    if (otherwise) {
        a_.Jump(end);
    }
    a_.Label(skip);
    if (otherwise) {
        otherwise(*this);
        a_.Label(end);
    }
    return *this;
}

ScriptWriter& ScriptWriter::Return(const Expr& e) {
    Push(e);
    a_.Op(kReturn);
    return *this;
}

ScriptWriter& ScriptWriter::Trace(const Expr& e) {
    Push(e);
    a_.Trace();
    return *this;
}

ScriptWriter& ScriptWriter::Stop() {
    a_.Stop();
    return *this;
}

std::string ScriptWriter::NewLabel() {
    return "l" + std::to_string(labels_++);
}

}  // namespace swfgen
