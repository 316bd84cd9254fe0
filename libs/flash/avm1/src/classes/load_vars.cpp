// LoadVars: variables in the URL-encoded form, loaded and sent through the host. The load
// itself is the host's; it answers through onData, whose default decodes and calls onLoad.
#include "classes.h"
#include "flash/avm1/url_variables.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

constexpr StringView kFormType = u"application/x-www-form-urlencoded";

UrlRequest::Method MethodOf(Interpreter& in, const Value& v, int version,
                            UrlRequest::Method fallback) {
    if (v.IsUndefined()) {
        return fallback;
    }
    String name = in.ToString(v, version);
    for (char16_t& ch : name) {
        ch = ch >= u'a' && ch <= u'z' ? static_cast<char16_t>(ch - 32) : ch;
    }
    return name == u"GET" ? UrlRequest::Method::Get : UrlRequest::Method::Post;
}

Value Load(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr || c.args.empty()) {
        return Value::Bool(false);
    }
    Interpreter& in = InterpreterOf(c.vm);
    StartDataLoad(c, self, in.ToString(c.Arg(0), c.version), UrlRequest::Method::Get, String(),
                  RequestHeaders(in, self, c.version));
    return Value::Bool(true);
}

Value SendAndLoad(CallContext& c) {
    Object* self = c.This();
    Object* target = c.Arg(1).AsObject();
    if (self == nullptr || target == nullptr) {
        return Value::Bool(false);
    }
    Interpreter& in = InterpreterOf(c.vm);
    String body = in.ToString(Value::Obj(self), c.version);
    StartDataLoad(c, target, in.ToString(c.Arg(0), c.version),
                  MethodOf(in, c.Arg(2), c.version, UrlRequest::Method::Post), body,
                  RequestHeaders(in, self, c.version),
                  in.ToString(in.GetMember(self, u"contentType", c.version), c.version));
    return Value::Bool(true);
}

// send(url, window, method): opens the address with the variables, as getURL does.
Value Send(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr || c.args.empty()) {
        return Value::Bool(false);
    }
    Interpreter& in = InterpreterOf(c.vm);
    UrlRequest request;
    request.url = in.ToString(c.Arg(0), c.version);
    String query = in.ToString(Value::Obj(self), c.version);
    if (!query.empty()) {
        request.url += (request.url.find(u'?') == String::npos ? u"?" : u"&") + query;
    }
    request.target = c.Arg(1).IsUndefined() ? String() : in.ToString(c.Arg(1), c.version);
    request.method = MethodOf(in, c.Arg(2), c.version, UrlRequest::Method::Post);
    in.host().GetUrl(request);
    return Value::Bool(true);
}

Value Decode(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    for (auto& [name, value] : DecodeVariables(in.ToString(c.Arg(0), c.version), c.version)) {
        in.SetMember(self, name, Value::Str(std::move(value)), c.version);
    }
    return Value();
}

Value ToStringFn(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value::Str(String());
    }
    Interpreter& in = InterpreterOf(c.vm);
    Variables vars;
    for (const String& key : in.EnumerateKeys(self, c.version)) {
        vars.emplace_back(key, in.ToString(in.GetMember(self, key, c.version), c.version));
    }
    return Value::Str(EncodeVariables(vars, false));
}

class LoadVarsObject final : public Object, public LoadProgress {
  public:
    explicit LoadVarsObject(Object* proto) : Object(proto) {}
};

Value Construct(CallContext& c) {
    Object* proto = InterpreterOf(c.vm).GetMember(c.callee, u"prototype", c.version).AsObject();
    return Value::Obj(c.vm.New<LoadVarsObject>(proto));
}

// Flash's default onData: decode what arrived and tell onLoad whether anything did.
Value OnData(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    bool ok = !c.Arg(0).IsUndefined();
    if (ok) {
        Decode(c);
        in.vm().Define(self, u"loaded", Value::Bool(true), kDontEnum);
    }
    Value arg = Value::Bool(ok);
    in.vm().CallMethod(self, u"onLoad", std::span<const Value>(&arg, 1), c.version);
    return Value();
}

Value Nothing(CallContext&) {
    return Value();
}

constexpr NativeMember kPrototype[] = {
    Method(u"load", Load),
    Method(u"send", Send),
    Method(u"sendAndLoad", SendAndLoad),
    Method(u"decode", Decode),
    Method(u"toString", ToStringFn),
    Method(u"getBytesLoaded", GetBytesLoaded),
    Method(u"getBytesTotal", GetBytesTotal),
    Method(u"addRequestHeader", AddRequestHeader),
    Method(u"onLoad", Nothing),
    Method(u"onData", OnData),
};

}  // namespace

std::vector<std::pair<String, String>> RequestHeaders(Interpreter& in, Object* self, int version) {
    std::vector<std::pair<String, String>> out;
    std::vector<Value> list = ListFrom(in, in.GetMember(self, u"_customHeaders", version), version);
    for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
        out.emplace_back(in.ToString(list[i], version), in.ToString(list[i + 1], version));
    }
    return out;
}

Value AddRequestHeader(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    std::vector<Value> pairs;
    if (c.args.size() >= 2) {
        pairs = {c.Arg(0), c.Arg(1)};
    } else if (Object* list = c.Arg(0).AsObject(); list && list->Class() == ObjectClass::Array) {
        pairs = ListFrom(in, c.Arg(0), c.version);
    }
    Object* headers = in.GetMember(self, u"_customHeaders", c.version).AsObject();
    if (headers == nullptr) {
        headers = in.NewArray();
        in.vm().Define(self, u"_customHeaders", Value::Obj(headers), kDontEnum);
    }
    for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
        Value args[] = {Value::Str(in.ToString(pairs[i], c.version)),
                        Value::Str(in.ToString(pairs[i + 1], c.version))};
        in.vm().CallMethod(headers, u"push", args, c.version);
    }
    return Value();
}

Value GetBytesLoaded(CallContext& c) {
    auto* p = dynamic_cast<LoadProgress*>(c.This());
    return p && p->bytesLoaded ? Value::Number(*p->bytesLoaded) : Value();
}

Value GetBytesTotal(CallContext& c) {
    auto* p = dynamic_cast<LoadProgress*>(c.This());
    return p && p->bytesTotal ? Value::Number(*p->bytesTotal) : Value();
}

void StartDataLoad(CallContext& c, Object* target, String url, UrlRequest::Method method,
                   String body, std::vector<std::pair<String, String>> headers,
                   String contentType) {
    Vm& vm = c.vm;
    vm.Define(target, u"loaded", Value::Bool(false), kDontEnum);
    vm.Define(target, u"_bytesLoaded", Value::Number(0), kDontEnum);
    if (auto* p = dynamic_cast<LoadProgress*>(target)) {
        p->bytesLoaded = 0;
        p->bytesTotal.reset();
    }
    DataRequest request;
    request.url = std::move(url);
    request.method = method;
    request.body = std::move(body);
    request.contentType = contentType.empty() ? String(kFormType) : std::move(contentType);
    request.headers = std::move(headers);
    request.target = target;
    request.version = c.version;
    vm.host().LoadData(request);
}

void InstallLoadVars(Interpreter& in, Globals& g) {
    Vm& vm = in.vm();
    Object* proto = vm.New<Object>(g.objectProto);
    MakeClass(
        in, u"LoadVars", proto, [](CallContext& c) -> Value { return c.thisValue; }, Construct);
    vm.Define(proto, u"contentType", Value::Str(String(kFormType)), kDontEnum);
    DefineMembers(vm, proto, kPrototype);
}

}  // namespace flash::avm1
