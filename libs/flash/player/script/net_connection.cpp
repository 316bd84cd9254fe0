// NetConnection: connect(null) for local files (streams play from files); connect to an http
// gateway for remoting, where call sends an AMF0 request and the responder hears the answer.
// Other addresses are refused as Flash refuses a server it cannot reach.
#include "flash/avm1/amf0.h"
#include "flash/avm1/native_member.h"
#include "net/data_loads.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

using avm1::CallContext;
using avm1::Value;

namespace {

avm1::Object* Info(avm1::Vm& vm, const char16_t* code, const char16_t* level) {
    avm1::Object* info = vm.NewObject();
    vm.Set(info, u"code", Value::Str(code), 7);
    vm.Set(info, u"level", Value::Str(level), 7);
    return info;
}

Value Construct(CallContext& c) {
    if (avm1::Object* self = c.This()) {
        c.vm.Set(self, u"isConnected", Value::Bool(false), c.version);
    }
    return Value();
}

Value Connect(CallContext& c) {
    avm1::Object* self = c.This();
    if (self == nullptr) {
        return Value::Bool(false);
    }
    const bool local = c.Arg(0).IsNullish();
    avm1::String uri = local ? avm1::String(u"null") : c.vm.ToString(c.Arg(0), c.version);
    c.vm.Set(self, u"uri", Value::Str(uri), c.version);
    if (!local && net::IsHttpUrl(avm1::ToUtf8(uri))) {
        // A remoting gateway: nothing is sent until the first call.
        c.vm.Set(self, u"isConnected", Value::Bool(false), c.version);
        return Value::Bool(true);
    }
    c.vm.Set(self, u"isConnected", Value::Bool(local), c.version);
    const Value info = Value::Obj(local ? Info(c.vm, u"NetConnection.Connect.Success", u"status")
                                        : Info(c.vm, u"NetConnection.Connect.Failed", u"error"));
    c.vm.CallMethod(self, u"onStatus", std::span(&info, 1), c.version);
    return Value::Bool(local);
}

Value Close(CallContext& c) {
    if (avm1::Object* self = c.This()) {
        c.vm.Set(self, u"isConnected", Value::Bool(false), c.version);
    }
    return Value();
}

void PutU16(std::vector<std::uint8_t>& out, std::size_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void PutString(std::vector<std::uint8_t>& out, const std::string& s) {
    PutU16(out, std::min<std::size_t>(s.size(), 0xFFFF));
    out.insert(out.end(), s.begin(), s.begin() + std::min<std::ptrdiff_t>(s.size(), 0xFFFF));
}

// The request: no headers, one message to `method` answering to `response`, its body the
// arguments as one array.
std::vector<std::uint8_t> Envelope(CallContext& c, const std::string& method,
                                   const std::string& response, std::span<const Value> args) {
    std::vector<std::uint8_t> out = {0, 0, 0, 0, 0, 1};
    PutString(out, method);
    PutString(out, response);
    avm1::AmfOptions options;
    options.strictArrays = true;
    options.version = c.version;
    avm1::AmfWriter body(c.vm, options);
    body.Write(Value::Obj(c.vm.NewArray(args)));
    std::size_t length = body.Bytes().size();
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    out.insert(out.end(), body.Bytes().begin(), body.Bytes().end());
    return out;
}

// The answer's messages, "/N/onResult" or "/N/onStatus", to the responder.
void Answer(avm1::Vm& vm, avm1::Object* responder, const std::vector<std::uint8_t>& bytes,
            int version) {
    avm1::AmfReader r(vm, bytes, version);
    std::uint16_t headers = 0;
    if (!r.Skip(2) || bytes.size() < 4) {
        return;
    }
    headers = static_cast<std::uint16_t>((bytes[2] << 8) | bytes[3]);
    r.Skip(2);
    for (int i = 0; i < headers; ++i) {
        avm1::String name;
        avm1::Value value;
        if (!r.ReadName(name) || !r.Skip(5) || !r.Read(value)) {
            return;
        }
    }
    if (!r.Skip(2)) {
        return;
    }
    avm1::String target;
    avm1::String ignored;
    avm1::Value value;
    if (!r.ReadName(target) || !r.ReadName(ignored) || !r.Skip(4) || !r.Read(value)) {
        return;
    }
    bool status = target.size() >= 9 && target.substr(target.size() - 9) == u"/onStatus";
    vm.CallMethod(responder, status ? u"onStatus" : u"onResult", std::span(&value, 1), version);
}

Value Call(CallContext& c) {
    avm1::Object* self = c.This();
    if (self == nullptr || c.args.empty()) {
        return Value::Bool(false);
    }
    std::string uri = avm1::ToUtf8(c.vm.ToString(c.vm.Get(self, u"uri", c.version), c.version));
    if (!net::IsHttpUrl(uri)) {
        return Value::Bool(false);
    }
    double calls = c.vm.ToNumber(c.vm.Get(self, u"__calls", c.version), c.version);
    int id = std::isfinite(calls) ? static_cast<int>(calls) + 1 : 1;
    c.vm.Define(self, u"__calls", Value::Number(id), avm1::kDontEnum);
    std::string method = avm1::ToUtf8(c.vm.ToString(c.Arg(0), c.version));
    std::span<const Value> rest = c.args.size() > 2 ? c.args.subspan(2) : std::span<const Value>();
    net::FetchRequest request;
    request.method = net::FetchRequest::Method::Post;
    request.contentType = "application/x-amf";
    request.body = Envelope(c, method, "/" + std::to_string(id), rest);
    avm1::Root responder(c.Arg(1).AsObject());
    avm1::Vm& vm = c.vm;
    int version = c.version;
    RuntimeOf(c).Loads().Fetch(uri, std::move(request),
                               [&vm, responder, version](const net::FetchResult& result) {
                                   if (result.ok && responder) {
                                       Answer(vm, responder.get(), result.data, version);
                                   }
                               });
    return Value::Bool(true);
}

constexpr avm1::NativeMember kMethods[] = {
    avm1::Method(u"connect", &Connect),
    avm1::Method(u"close", &Close),
    avm1::Method(u"call", &Call),
};

}  // namespace

void InstallNetConnection(avm1::Vm& vm) {
    avm1::Object* global = vm.Global();
    if (global->Members().Find(u"NetConnection", true) != nullptr) {
        return;
    }
    avm1::Object* ctor = vm.NewFunction(&Construct);
    avm1::Object* proto = vm.NewObject();
    vm.Define(ctor, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kMethods);
    vm.Define(global, u"NetConnection", Value::Obj(ctor), avm1::kDontEnum);
}

}  // namespace flash
