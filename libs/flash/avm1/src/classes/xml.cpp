// XML: a document node with Flash's lenient parser, its declarations and status; load and
// sendAndLoad go through the host, which answers through onData.
#include <algorithm>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/xml_text.h"
#include "interpreter.h"
#include "xml_node.h"

namespace flash::avm1 {

namespace {

bool IsXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool StartsWith(StringView text, std::size_t pos, StringView prefix) {
    return text.substr(pos, prefix.size()) == prefix;
}

XmlDocumentObject* ThisDocument(CallContext& c) {
    return dynamic_cast<XmlDocumentObject*>(c.This());
}

// The prototype new nodes get: XMLNode.prototype as it stands now (scripts may replace it).
Object* NodePrototype(Interpreter& in, int version) {
    Object* ctor = in.globals().xmlNodeCtor;
    Object* proto = ctor ? in.GetMember(ctor, u"prototype", version).AsObject() : nullptr;
    return proto ? proto : in.globals().objectProto;
}

// Flash's parser: lenient, keeps what it parsed before an error and reports the error in
// status.
class XmlParser {
  public:
    XmlParser(Interpreter& in, XmlDocumentObject& doc, int version)
        : in_(in), doc_(doc), version_(version) {}

    int Parse(StringView text) {
        ignoreWhite_ = in_.ToNumber(in_.GetMember(&doc_, u"ignoreWhite", version_), version_) != 0;
        std::vector<XmlNodeObject*> open{&doc_};
        std::size_t pos = 0;
        const std::size_t n = text.size();
        while (pos < n) {
            in_.CountActions(1);
            if (text[pos] != u'<') {
                std::size_t end = std::min(text.find(u'<', pos), n);
                AddText(open.back(), XmlUnescape(text.substr(pos, end - pos)), true);
                pos = end;
                continue;
            }
            if (StartsWith(text, pos, u"<!--")) {
                std::size_t end = text.find(u"-->", pos + 4);
                if (end == StringView::npos) {
                    return -5;
                }
                pos = end + 3;
            } else if (StartsWith(text, pos, u"<![CDATA[")) {
                std::size_t end = text.find(u"]]>", pos + 9);
                if (end == StringView::npos) {
                    return -2;
                }
                AddText(open.back(), String(text.substr(pos + 9, end - pos - 9)), false);
                pos = end + 3;
            } else if (StartsWith(text, pos, u"<?")) {
                std::size_t end = text.find(u"?>", pos + 2);
                if (end == StringView::npos) {
                    return -3;
                }
                String decl(text.substr(pos, end + 2 - pos));
                doc_.xmlDecl = doc_.xmlDecl ? *doc_.xmlDecl + decl : decl;
                pos = end + 2;
            } else if (StartsWith(text, pos, u"<!")) {
                std::size_t end = text.find(u'>', pos + 2);
                if (end == StringView::npos) {
                    return -4;
                }
                doc_.docTypeDecl = String(text.substr(pos, end + 1 - pos));
                pos = end + 1;
            } else if (StartsWith(text, pos, u"</")) {
                std::size_t end = text.find(u'>', pos + 2);
                if (end == StringView::npos) {
                    return -6;
                }
                StringView name = text.substr(pos + 2, end - pos - 2);
                while (!name.empty() && IsXmlSpace(name.back())) {
                    name.remove_suffix(1);
                }
                if (open.size() < 2 || !open.back()->name || *open.back()->name != name) {
                    return -10;
                }
                open.pop_back();
                pos = end + 1;
            } else {
                int status = Element(text, pos, open);
                if (status != 0) {
                    return status;
                }
            }
        }
        return open.size() > 1 ? -9 : 0;
    }

  private:
    void AddText(XmlNodeObject* parent, String text, bool droppable) {
        if (droppable && ignoreWhite_ && std::all_of(text.begin(), text.end(), IsXmlSpace)) {
            return;
        }
        if (text.empty()) {
            return;
        }
        auto* node = in_.vm().New<XmlNodeObject>(NodePrototype(in_, version_), kXmlText);
        node->value = std::move(text);
        node->attributes = in_.NewObject();
        parent->AppendNew(in_.vm(), node);
    }

    // An element's start tag at `pos` (on '<').
    int Element(StringView text, std::size_t& pos, std::vector<XmlNodeObject*>& open) {
        const std::size_t n = text.size();
        std::size_t i = pos + 1;
        std::size_t nameStart = i;
        while (i < n && !IsXmlSpace(text[i]) && text[i] != u'/' && text[i] != u'>') {
            ++i;
        }
        if (i == nameStart || i >= n) {
            return -6;
        }
        auto* node = in_.vm().New<XmlNodeObject>(NodePrototype(in_, version_), kXmlElement);
        node->name = String(text.substr(nameStart, i - nameStart));
        node->attributes = in_.NewObject();
        open.back()->AppendNew(in_.vm(), node);
        std::vector<std::pair<String, Value>> attrs;
        // Attributes are added last first, so that for..in lists them in document order.
        struct AddAttributes {
            Interpreter& in;
            XmlNodeObject* node;
            std::vector<std::pair<String, Value>>& attrs;
            int version;
            ~AddAttributes() {
                for (auto it = attrs.rbegin(); it != attrs.rend(); ++it) {
                    if (!in.HasMember(node->attributes, it->first, version)) {
                        in.vm().Define(node->attributes, it->first, it->second);
                    }
                }
            }
        } add{in_, node, attrs, version_};
        for (;;) {
            while (i < n && IsXmlSpace(text[i])) {
                ++i;
            }
            if (i >= n) {
                return -6;
            }
            if (text[i] == u'>') {
                open.push_back(node);
                pos = i + 1;
                return 0;
            }
            if (text[i] == u'/') {
                if (i + 1 >= n || text[i + 1] != u'>') {
                    return -6;
                }
                pos = i + 2;
                return 0;
            }
            std::size_t keyStart = i;
            while (i < n && !IsXmlSpace(text[i]) && text[i] != u'=' && text[i] != u'>' &&
                   text[i] != u'/') {
                ++i;
            }
            String key(text.substr(keyStart, i - keyStart));
            while (i < n && IsXmlSpace(text[i])) {
                ++i;
            }
            if (key.empty() || i >= n || text[i] != u'=') {
                return -6;
            }
            ++i;
            while (i < n && IsXmlSpace(text[i])) {
                ++i;
            }
            if (i >= n || (text[i] != u'"' && text[i] != u'\'')) {
                return -6;
            }
            std::size_t close = text.find(text[i], i + 1);
            if (close == StringView::npos) {
                return -8;
            }
            Value v = Value::Str(XmlUnescape(text.substr(i + 1, close - i - 1)));
            i = close + 1;
            if (key == u"id" && doc_.idMap) {
                in_.vm().Define(doc_.idMap, v.AsString(), Value::Obj(node));
            }
            attrs.emplace_back(std::move(key), std::move(v));
        }
    }

    Interpreter& in_;
    XmlDocumentObject& doc_;
    int version_;
    bool ignoreWhite_ = false;
};

void ParseInto(Interpreter& in, XmlDocumentObject& doc, const String& text, int version) {
    for (XmlNodeObject* c : std::vector<XmlNodeObject*>(doc.children)) {
        c->Detach(in.vm());
    }
    doc.xmlDecl.reset();
    doc.docTypeDecl.reset();
    doc.status = XmlParser(in, doc, version).Parse(text);
}

Value MakeDocument(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* proto = in.GetMember(c.callee, u"prototype", c.version).AsObject();
    auto* doc = c.vm.New<XmlDocumentObject>(proto);
    doc->attributes = in.NewObject();
    doc->idMap = in.NewObject();
    if (!c.Arg(0).IsNullish()) {
        ParseInto(in, *doc, in.ToString(c.Arg(0), c.version), c.version);
    }
    return Value::Obj(doc);
}

Value Status(CallContext& c) {
    XmlDocumentObject* d = ThisDocument(c);
    return d ? Value::Number(d->status) : Value();
}

Value XmlDecl(CallContext& c) {
    XmlDocumentObject* d = ThisDocument(c);
    return d && d->xmlDecl ? Value::Str(*d->xmlDecl) : Value();
}

Value DocTypeDecl(CallContext& c) {
    XmlDocumentObject* d = ThisDocument(c);
    return d && d->docTypeDecl ? Value::Str(*d->docTypeDecl) : Value();
}

Value IdMap(CallContext& c) {
    XmlDocumentObject* d = ThisDocument(c);
    return d && d->idMap ? Value::Obj(d->idMap) : Value();
}

Value ParseXML(CallContext& c) {
    if (XmlDocumentObject* d = ThisDocument(c)) {
        Interpreter& in = InterpreterOf(c.vm);
        ParseInto(in, *d, in.ToString(c.Arg(0), c.version), c.version);
    }
    return Value();
}

Value CreateElement(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    auto* node = c.vm.New<XmlNodeObject>(NodePrototype(in, c.version), kXmlElement);
    node->attributes = in.NewObject();
    node->name = in.ToString(c.Arg(0), c.version);
    return Value::Obj(node);
}

Value CreateTextNode(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    auto* node = c.vm.New<XmlNodeObject>(NodePrototype(in, c.version), kXmlText);
    node->attributes = in.NewObject();
    node->value = in.ToString(c.Arg(0), c.version);
    return Value::Obj(node);
}

Value Load(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr || c.args.empty()) {
        return Value::Bool(false);
    }
    Interpreter& in = InterpreterOf(c.vm);
    StartDataLoad(c, self, in.ToString(c.Arg(0), c.version), UrlRequest::Method::Get, String(), {});
    return Value::Bool(true);
}

Value SendAndLoad(CallContext& c) {
    Object* self = c.This();
    Object* target = c.Arg(1).AsObject();
    if (self == nullptr || target == nullptr || c.args.empty()) {
        return Value::Bool(false);
    }
    Interpreter& in = InterpreterOf(c.vm);
    StartDataLoad(c, target, in.ToString(c.Arg(0), c.version), UrlRequest::Method::Post,
                  in.ToString(Value::Obj(self), c.version), RequestHeaders(in, self, c.version),
                  in.ToString(in.GetMember(self, u"contentType", c.version), c.version));
    return Value::Bool(true);
}

// send(url, window): opens the address, as getURL does.
Value Send(CallContext& c) {
    if (c.This() == nullptr || c.args.empty()) {
        return Value::Bool(false);
    }
    Interpreter& in = InterpreterOf(c.vm);
    UrlRequest request;
    request.url = in.ToString(c.Arg(0), c.version);
    request.target = c.Arg(1).IsUndefined() ? String() : in.ToString(c.Arg(1), c.version);
    request.method = UrlRequest::Method::Post;
    in.host().GetUrl(request);
    return Value::Bool(true);
}

// Flash's default onData parses what arrived and reports it to onLoad.
Value OnData(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    XmlDocumentObject* d = ThisDocument(c);
    if (!d) {
        return Value();
    }
    bool ok = !c.Arg(0).IsUndefined();
    if (ok) {
        ParseInto(in, *d, in.ToString(c.Arg(0), c.version), c.version);
        in.vm().Define(d, u"loaded", Value::Bool(true));
    }
    Value onLoad = in.GetMember(d, u"onLoad", c.version);
    if (in.IsFunction(onLoad)) {
        Value arg = Value::Bool(ok);
        in.CallFunction(onLoad.AsObject(), c.thisValue, std::span<const Value>(&arg, 1), c.version);
    }
    return Value();
}

constexpr NativeMember kPrototype[] = {
    Accessor(u"status", Status),
    Accessor(u"xmlDecl", XmlDecl),
    Accessor(u"docTypeDecl", DocTypeDecl),
    Accessor(u"idMap", IdMap),
    Method(u"parseXML", ParseXML),
    Method(u"createElement", CreateElement),
    Method(u"createTextNode", CreateTextNode),
    Method(u"load", Load),
    Method(u"sendAndLoad", SendAndLoad),
    Method(u"send", Send),
    Method(u"addRequestHeader", AddRequestHeader),
    Method(u"getBytesLoaded", GetBytesLoaded),
    Method(u"getBytesTotal", GetBytesTotal),
    Method(u"onData", OnData),
};

}  // namespace

void InstallXml(Interpreter& in, Globals& g) {
    Vm& vm = in.vm();
    Object* proto = vm.New<Object>(g.xmlNodeProto);
    MakeClass(in, u"XML", proto, MakeDocument, MakeDocument);
    vm.Define(proto, u"ignoreWhite", Value::Bool(false), kDontEnum);
    vm.Define(proto, u"contentType", Value::Str(u"application/x-www-form-urlencoded"), kDontEnum);
    DefineMembers(vm, proto, kPrototype);
}

}  // namespace flash::avm1
