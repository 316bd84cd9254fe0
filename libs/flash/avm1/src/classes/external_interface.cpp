// flash.external.ExternalInterface: no container to talk to, so it is never available; its
// helpers that turn values into the XML of the calling protocol and back work as in Flash.
#include "classes.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/xml_text.h"
#include "interpreter.h"
#include "xml_node.h"

namespace flash::avm1 {

namespace {

// Replaces every `from` in `text` with `to`, in one pass from the left.
String ReplaceAll(StringView text, StringView from, StringView to) {
    String out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t hit = text.find(from, pos);
        if (hit == StringView::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
}

// The text of a value for the helpers; none (null to scripts) for no argument or "".
std::optional<String> HelperText(CallContext& c) {
    if (c.args.empty()) {
        return std::nullopt;
    }
    String s = InterpreterOf(c.vm).ToString(c.args[0], c.version);
    if (s.empty()) {
        return std::nullopt;
    }
    return s;
}

String EscapeText(const std::optional<String>& s) {
    return s ? XmlEscape(*s) : String(u"null");
}

String UnescapeText(StringView s) {
    // Only the five named entities, with their exact spelling; one pass.
    String out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&') {
            static constexpr std::pair<StringView, char16_t> kNamed[] = {
                {u"&amp;", u'&'}, {u"&quot;", u'"'}, {u"&apos;", u'\''},
                {u"&lt;", u'<'},  {u"&gt;", u'>'},
            };
            bool matched = false;
            for (const auto& [entity, ch] : kNamed) {
                if (s.substr(i, entity.size()) == entity) {
                    out.push_back(ch);
                    i += entity.size() - 1;
                    matched = true;
                    break;
                }
            }
            if (matched) {
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

class Serializer {
  public:
    Serializer(Interpreter& in, int version) : in_(in), version_(version) {}

    String ToXml(const Value& v, int depth) {
        in_.CountActions(1);
        switch (v.type()) {
            case Type::Undefined:
                return u"<undefined/>";
            case Type::Null:
                return u"<null/>";
            case Type::Boolean:
                return v.AsBool() ? u"<true/>" : u"<false/>";
            case Type::Number:
                return u"<number>" + in_.ToString(v, version_) + u"</number>";
            case Type::Str: {
                const String& s = v.AsString();
                return u"<string>" + EscapeText(s.empty() ? std::nullopt : std::optional(s)) +
                       u"</string>";
            }
            case Type::Object:
                break;
        }
        Object* o = v.AsObject();
        if (!o || in_.IsFunction(v)) {
            return u"<null/>";
        }
        if (o->Class() == ObjectClass::Array) {
            return ArrayToXml(v, depth);
        }
        return ObjectToXml(v, depth);
    }

    String ArrayToXml(const Value& v, int depth) {
        String out = u"<array>";
        std::size_t n = Length(v);
        for (std::size_t i = 0; i < n; ++i) {
            String id = in_.ToString(Value::Number(static_cast<double>(i)), version_);
            out +=
                u"<property id=\"" + id + u"\">" + Nested(Element(v, id), depth) + u"</property>";
            in_.CheckString(out.size());
        }
        return out + u"</array>";
    }

    // The arguments of a call: the first (the function's name) is left out.
    String ArgumentsToXml(const Value& v, int depth) {
        String out = u"<arguments>";
        std::size_t n = Length(v);
        for (std::size_t i = 1; i < n; ++i) {
            String id = in_.ToString(Value::Number(static_cast<double>(i)), version_);
            out += Nested(Element(v, id), depth);
            in_.CheckString(out.size());
        }
        return out + u"</arguments>";
    }

    String ObjectToXml(const Value& v, int depth) {
        String out = u"<object>";
        if (Object* o = v.AsObject()) {
            for (const String& key : in_.EnumerateKeys(o, version_)) {
                out += u"<property id=\"" + key + u"\">" +
                       Nested(in_.GetMember(o, key, version_), depth) + u"</property>";
                in_.CheckString(out.size());
            }
        }
        return out + u"</object>";
    }

    // The value a protocol node stands for.
    Value ToAs(const Value& node, int depth) {
        in_.CountActions(1);
        Object* o = node.AsObject();
        if (!o) {
            return Value();
        }
        // The name is a string or a String object; an object whose toString gives the name
        // does not count.
        Value name = in_.GetMember(o, u"nodeName", version_);
        if (Object* boxed = name.AsObject()) {
            name = boxed->Primitive();
        }
        if (!name.IsString()) {
            return Value();
        }
        const String kind = name.AsString();
        auto text = [&] {
            return in_.ToString(in_.GetMember(o, u"firstChild", version_), version_);
        };
        if (kind == u"number") {
            return Value::Number(in_.ToNumber(Value::Str(text()), version_));
        }
        if (kind == u"string") {
            return Value::Str(UnescapeText(text()));
        }
        if (kind == u"true" || kind == u"false") {
            return Value::Bool(kind == u"true");
        }
        if (kind == u"null") {
            return Value::Null();
        }
        if (kind == u"array") {
            return ArrayToAs(node, depth);
        }
        if (kind == u"object") {
            return ObjectToAs(node, depth);
        }
        return Value();
    }

    // <array> and <object> hold <property id="..."> nodes, <arguments> holds values.
    Value ArrayToAs(const Value& node, int depth) {
        ArrayObject* a = in_.NewArray();
        FromProperties(node, a, depth);
        return Value::Obj(a);
    }

    Value ObjectToAs(const Value& node, int depth) {
        Object* o = in_.NewObject();
        FromProperties(node, o, depth);
        return Value::Obj(o);
    }

    Value ArgumentsToAs(const Value& node, int depth) {
        ArrayObject* a = in_.NewArray();
        for (const Value& child : Children(node)) {
            a->Push(in_.vm(), depth < kMaxDepth ? ToAs(child, depth + 1) : Value());
        }
        return Value::Obj(a);
    }

  private:
    static constexpr int kMaxDepth = 256;

    String Nested(const Value& v, int depth) {
        return depth < kMaxDepth ? ToXml(v, depth + 1) : String(u"<null/>");
    }

    std::size_t Length(const Value& v) {
        Value n = in_.GetMember(v, u"length", version_);
        if (!n.IsNumber()) {
            return 0;
        }
        return CountOf(n.AsNumber(), in_.vm().limits().maxArrayLength);
    }

    Value Element(const Value& v, const String& id) { return in_.GetMember(v, id, version_); }

    std::vector<Value> Children(const Value& node) {
        std::vector<Value> out;
        Value list = in_.GetMember(node, u"childNodes", version_);
        std::size_t n = Length(list);
        for (std::size_t i = 0; i < n; ++i) {
            out.push_back(
                Element(list, in_.ToString(Value::Number(static_cast<double>(i)), version_)));
        }
        return out;
    }

    void FromProperties(const Value& node, Object* target, int depth) {
        for (const Value& child : Children(node)) {
            Value attrs = in_.GetMember(child, u"attributes", version_);
            String id = in_.ToString(in_.GetMember(attrs, u"id", version_), version_);
            Value first = in_.GetMember(child, u"firstChild", version_);
            in_.SetMember(target, id, depth < kMaxDepth ? ToAs(first, depth + 1) : Value(),
                          version_);
        }
    }

    Interpreter& in_;
    int version_;
};

Value Construct(CallContext&) {
    return Value();
}

Value AddCallback(CallContext&) {
    return Value::Bool(false);
}

Value Call(CallContext&) {
    return Value::Null();
}

Value EscapeXml(CallContext& c) {
    auto s = HelperText(c);
    return s ? Value::Str(XmlEscape(*s)) : Value::Null();
}

Value UnescapeXml(CallContext& c) {
    auto s = HelperText(c);
    return s ? Value::Str(UnescapeText(*s)) : Value::Null();
}

Value JsQuoteString(CallContext& c) {
    auto s = HelperText(c);
    return s ? Value::Str(ReplaceAll(*s, u"\"", u"\\\"")) : Value::Null();
}

// _toXML and the like: a value in the calling protocol's XML.
template <String (Serializer::*F)(const Value&, int)>
Value WriteXml(CallContext& c) {
    Serializer s(InterpreterOf(c.vm), c.version);
    return Value::Str((s.*F)(c.Arg(0), 0));
}

// _toAS and the like: the value such XML stands for.
template <Value (Serializer::*F)(const Value&, int)>
Value ReadXml(CallContext& c) {
    Serializer s(InterpreterOf(c.vm), c.version);
    return (s.*F)(c.Arg(0), 0);
}

constexpr NativeMember kStatics[] = {
    Method(u"addCallback", AddCallback),
    Method(u"call", Call),
    Method(u"_escapeXML", EscapeXml),
    Method(u"_unescapeXML", UnescapeXml),
    Method(u"_jsQuoteString", JsQuoteString),
    Method(u"_toXML", WriteXml<&Serializer::ToXml>),
    Method(u"_arrayToXML", WriteXml<&Serializer::ArrayToXml>),
    Method(u"_argumentsToXML", WriteXml<&Serializer::ArgumentsToXml>),
    Method(u"_objectToXML", WriteXml<&Serializer::ObjectToXml>),
    Method(u"_toAS", ReadXml<&Serializer::ToAs>),
    Method(u"_arrayToAS", ReadXml<&Serializer::ArrayToAs>),
    Method(u"_argumentsToAS", ReadXml<&Serializer::ArgumentsToAs>),
    Method(u"_objectToAS", ReadXml<&Serializer::ObjectToAs>),
};

}  // namespace

void InstallExternalInterface(Interpreter& in, Globals& g) {
    Vm& vm = in.vm();
    Object* proto = vm.New<Object>(g.objectProto);
    Object* ctor = MakeClass(in, u"", proto, Construct);
    Object* flash = in.GetMember(g.global, u"flash", 8).AsObject();
    if (!flash) {
        flash = in.NewObject();
        vm.Define(g.global, u"flash", Value::Obj(flash), kDontEnum | kVersion8);
    }
    Object* external = vm.New<Object>(g.objectProto);
    vm.Define(flash, u"external", Value::Obj(external), kDontEnum);
    vm.Define(external, u"ExternalInterface", Value::Obj(ctor), kDontEnum);
    vm.Define(ctor, u"available", Value::Bool(false), kDontEnum);
    DefineMembers(vm, ctor, kStatics);
}

}  // namespace flash::avm1
