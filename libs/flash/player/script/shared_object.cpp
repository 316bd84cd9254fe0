#include "script/shared_object.h"

#include "display/movie_clip.h"
#include "flash/avm1/native_member.h"
#include "flash/avm1/vm.h"
#include "net/shared_object_store.h"
#include "runtime/movie_data.h"
#include "runtime/movie_source.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

using avm1::CallContext;
using avm1::Value;

namespace {

// The script object of one shared object: its file and the name it was opened under.
class SharedObjectObject final : public avm1::Object {
  public:
    explicit SharedObjectObject(avm1::Object* proto) : Object(proto, avm1::ObjectClass::Host) {}
    std::filesystem::path file;
    avm1::String name;
    int version = 8;
};

SharedObjectObject* Self(CallContext& c) {
    return dynamic_cast<SharedObjectObject*>(c.This());
}

avm1::Object* DataOf(avm1::Vm& vm, SharedObjectObject* so) {
    return vm.Get(so, u"data", so->version).AsObject();
}

Value GetLocal(CallContext& c) {
    if (c.args.empty()) {
        return Value::Null();
    }
    std::string name = avm1::ToUtf8(c.vm.ToString(c.Arg(0), c.version));
    std::optional<std::string> localPath;
    if (!c.Arg(1).IsNullish()) {
        localPath = avm1::ToUtf8(c.vm.ToString(c.Arg(1), c.version));
    }
    return Value::Obj(RuntimeOf(c).SharedObjectStore().GetLocal(name, localPath, c.version));
}

// Remote shared objects need a media server the player never reaches.
Value GetRemote(CallContext&) {
    return Value::Null();
}

Value Flush(CallContext& c) {
    SharedObjectObject* so = Self(c);
    return Value::Bool(so != nullptr && RuntimeOf(c).SharedObjectStore().Flush(so));
}

Value Clear(CallContext& c) {
    SharedObjectObject* so = Self(c);
    if (so == nullptr) {
        return Value();
    }
    avm1::Object* data = c.vm.NewObject();
    c.vm.Define(so, u"data", Value::Obj(data), avm1::kDontDelete);
    std::error_code ec;
    std::filesystem::remove(so->file, ec);
    return Value();
}

Value GetSize(CallContext& c) {
    SharedObjectObject* so = Self(c);
    avm1::Object* data = so ? DataOf(c.vm, so) : nullptr;
    if (data == nullptr) {
        return Value::Number(0);
    }
    bool empty = true;
    data->Members().ForEach(
        [&](const avm1::Member& m) { empty = empty && (m.attrs & avm1::kDontEnum) != 0; });
    return Value::Number(
        empty ? 0 : static_cast<double>(net::EncodeSol(c.vm, so->name, data, so->version).size()));
}

Value Refuse(CallContext&) {
    return Value::Bool(false);
}

Value Nothing(CallContext&) {
    return Value();
}

constexpr avm1::NativeMember kStatics[] = {
    avm1::Method(u"getLocal", &GetLocal),
    avm1::Method(u"getRemote", &GetRemote),
};

constexpr avm1::NativeMember kPrototype[] = {
    avm1::Method(u"connect", &Refuse),  avm1::Method(u"send", &Nothing),
    avm1::Method(u"flush", &Flush),     avm1::Method(u"close", &Nothing),
    avm1::Method(u"getSize", &GetSize), avm1::Method(u"setFps", &Refuse),
    avm1::Method(u"clear", &Clear),
};

avm1::Object* Prototype(avm1::Vm& vm, int version) {
    avm1::Object* ctor = vm.Get(vm.Global(), u"SharedObject", version).AsObject();
    avm1::Object* proto = ctor ? vm.Get(ctor, u"prototype", version).AsObject() : nullptr;
    return proto ? proto : vm.ObjectPrototype();
}

}  // namespace

SharedObjects::SharedObjects(Runtime& runtime)
    : runtime_(runtime), root_(net::DefaultSharedObjectRoot()) {}

avm1::Object* SharedObjects::GetLocal(const std::string& name,
                                      const std::optional<std::string>& localPath, int version) {
    MovieClip* root = runtime_.LevelClip(0);
    std::optional<std::string> movie = root ? LocalPath(root->Movie().Url()) : std::nullopt;
    if (!movie) {
        return nullptr;
    }
    std::optional<std::filesystem::path> file = net::SharedObjectPath(
        root_, std::filesystem::absolute(*movie).lexically_normal().string(), name, localPath);
    if (!file) {
        return nullptr;
    }
    if (auto it = open_.find(*file); it != open_.end()) {
        return it->second.get();
    }
    avm1::Vm& vm = runtime_.Vm();
    auto* so = vm.New<SharedObjectObject>(Prototype(vm, version));
    so->file = *file;
    so->name = avm1::FromUtf8(name);
    so->version = version;
    avm1::Object* data = vm.NewObject();
    if (auto bytes = net::ReadSolFile(*file)) {
        net::DecodeSol(vm, *bytes, data, version);
    }
    vm.Define(so, u"data", Value::Obj(data), avm1::kDontDelete);
    open_.emplace(*file, avm1::Root(so));
    return so;
}

bool SharedObjects::Flush(avm1::Object* object) {
    auto* so = dynamic_cast<SharedObjectObject*>(object);
    avm1::Object* data = so ? DataOf(runtime_.Vm(), so) : nullptr;
    if (data == nullptr) {
        return false;
    }
    std::vector<std::uint8_t> bytes = net::EncodeSol(runtime_.Vm(), so->name, data, so->version);
    return net::WriteSolFile(so->file, bytes);
}

void SharedObjects::CloseAll() {
    for (auto& [file, so] : open_) {
        // Objects that never held anything leave no file behind.
        avm1::Object* data = runtime_.Vm().Get(so.get(), u"data", 8).AsObject();
        bool empty = true;
        if (data != nullptr) {
            data->Members().ForEach(
                [&](const avm1::Member& m) { empty = empty && (m.attrs & avm1::kDontEnum) != 0; });
        }
        if (!empty || std::filesystem::exists(file)) {
            Flush(so.get());
        }
    }
    open_.clear();
}

void InstallSharedObject(avm1::Vm& vm) {
    avm1::Object* global = vm.Global();
    if (global->Members().Find(u"SharedObject", true) != nullptr) {
        return;
    }
    avm1::Object* ctor = vm.NewFunction([](CallContext& c) -> Value { return c.thisValue; });
    avm1::Object* proto = vm.NewObject();
    vm.Define(ctor, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, ctor, kStatics);
    avm1::DefineMembers(vm, proto, kPrototype);
    vm.Define(global, u"SharedObject", Value::Obj(ctor), avm1::kDontEnum);
}

}  // namespace flash
