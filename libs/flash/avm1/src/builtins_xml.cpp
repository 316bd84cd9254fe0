// XMLNode and XML: a small DOM with Flash's lenient parser and its text form.
#include "builtins_xml.h"

#include <algorithm>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

bool IsXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool StartsWith(StringView text, std::size_t pos, StringView prefix) {
    return text.substr(pos, prefix.size()) == prefix;
}

// A numeric or named entity between '&' and ';', or nothing when Flash keeps it as text.
std::optional<char32_t> Entity(StringView name) {
    if (name == u"lt") {
        return U'<';
    }
    if (name == u"gt") {
        return U'>';
    }
    if (name == u"amp") {
        return U'&';
    }
    if (name == u"quot") {
        return U'"';
    }
    if (name == u"apos") {
        return U'\'';
    }
    if (name.size() < 2 || name[0] != u'#') {
        return std::nullopt;
    }
    bool hex = name[1] == u'x' || name[1] == u'X';
    StringView digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    char32_t code = 0;
    for (char16_t c : digits) {
        int d = -1;
        if (c >= u'0' && c <= u'9') {
            d = c - u'0';
        } else if (hex && c >= u'a' && c <= u'f') {
            d = c - u'a' + 10;
        } else if (hex && c >= u'A' && c <= u'F') {
            d = c - u'A' + 10;
        }
        if (d < 0) {
            return std::nullopt;
        }
        code = code * (hex ? 16 : 10) + static_cast<char32_t>(d);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    return code;
}

void AppendCodePoint(String& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

XmlNodeObject* NodeOf(const Value& v) {
    return dynamic_cast<XmlNodeObject*>(v.AsObject());
}

XmlNodeObject* ThisNode(CallContext& c) {
    return NodeOf(c.thisValue);
}

XmlDocumentObject* ThisDocument(CallContext& c) {
    return dynamic_cast<XmlDocumentObject*>(c.This());
}

Value StrOrNull(const std::optional<String>& s) {
    return s ? Value::Str(*s) : Value::Null();
}

// The prototype new nodes get: XMLNode.prototype as it stands now (scripts may replace it).
Object* NodePrototype(Interpreter& in, int version) {
    Object* ctor = in.globals().xmlNodeCtor;
    Object* proto = ctor ? in.GetMember(ctor, u"prototype", version).AsObject() : nullptr;
    return proto ? proto : in.globals().objectProto;
}

// The text up to the first ':' of a qualified name, or "" when there is none.
String PrefixOf(const String& name) {
    std::size_t colon = name.find(u':');
    return colon == String::npos ? String() : name.substr(0, colon);
}

String LocalNameOf(const String& name) {
    std::size_t colon = name.find(u':');
    return colon == String::npos ? name : name.substr(colon + 1);
}

void XmlProperty(Interpreter& in, Object* proto, StringView name, NativeFn get, NativeFn set = {}) {
    NativeFunction* getter = MakeNative(in, std::move(get));
    NativeFunction* setter = set ? MakeNative(in, std::move(set)) : nullptr;
    Member& m = proto->Members().Add(name, Value(), kDontEnum | kDontDelete);
    m.getter = getter;
    m.setter = setter;
}

}  // namespace

String XmlEscape(StringView text) {
    String out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            case u'\'':
                out += u"&apos;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

String XmlUnescape(StringView text) {
    String out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            std::size_t semi = text.find(u';', i + 1);
            if (semi != StringView::npos) {
                if (auto code = Entity(text.substr(i + 1, semi - i - 1))) {
                    AppendCodePoint(out, *code);
                    i = semi;
                    continue;
                }
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

void XmlNodeObject::TraceRefs(std::vector<Object*>& out) {
    out.push_back(attributes);
    out.push_back(parent);
    out.push_back(childArray);
    for (XmlNodeObject* c : children) {
        out.push_back(c);
    }
}

void XmlDocumentObject::TraceRefs(std::vector<Object*>& out) {
    XmlNodeObject::TraceRefs(out);
    out.push_back(idMap);
}

bool XmlNodeObject::IsAncestorOrSelf(const XmlNodeObject* node) const {
    for (const XmlNodeObject* p = this; p; p = p->parent) {
        if (p == node) {
            return true;
        }
    }
    return false;
}

void XmlNodeObject::Detach(Vm& vm) {
    if (!parent) {
        return;
    }
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent->RefreshChildArray(vm);
    parent = nullptr;
}

bool XmlNodeObject::Insert(Vm& vm, XmlNodeObject* child, std::size_t index) {
    // A node already among the children stays where it is.
    if (!child || child->parent == this || IsAncestorOrSelf(child)) {
        return false;
    }
    child->Detach(vm);
    index = std::min(index, children.size());
    children.insert(children.begin() + static_cast<std::ptrdiff_t>(index), child);
    child->parent = this;
    RefreshChildArray(vm);
    return true;
}

void XmlNodeObject::RefreshChildArray(Vm& vm) {
    if (!childArray) {
        return;
    }
    childArray->Resize(vm, 0);
    for (XmlNodeObject* c : children) {
        childArray->Push(vm, Value::Obj(c));
    }
}

ArrayObject* XmlNodeObject::ChildArray(Interpreter& in) {
    if (!childArray) {
        childArray = in.NewArray();
        RefreshChildArray(in.vm());
    }
    return childArray;
}

XmlNodeObject* XmlNodeObject::Sibling(int step) const {
    if (!parent) {
        return nullptr;
    }
    auto& siblings = parent->children;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end()) {
        return nullptr;
    }
    std::ptrdiff_t i = (it - siblings.begin()) + step;
    if (i < 0 || i >= static_cast<std::ptrdiff_t>(siblings.size())) {
        return nullptr;
    }
    return siblings[static_cast<std::size_t>(i)];
}

void XmlNodeObject::Write(Interpreter& in, String& out, int version, int depth) {
    in.CheckString(out.size());
    if (type != kXmlElement) {
        out += XmlEscape(value ? *value : String());
        return;
    }
    if (name) {
        out += u'<';
        out += *name;
        for (const String& key : in.EnumerateKeys(attributes, version)) {
            out += u' ';
            out += key;
            out += u"=\"";
            out += XmlEscape(in.ToString(in.GetMember(attributes, key, version), version));
            out += u'"';
        }
        if (children.empty()) {
            out += u" />";
            return;
        }
        out += u'>';
    }
    // Deeply nested documents stop here rather than exhaust the native stack.
    if (depth < 512) {
        for (XmlNodeObject* c : std::vector<XmlNodeObject*>(children)) {
            c->Write(in, out, version, depth + 1);
        }
    }
    if (name) {
        out += u"</";
        out += *name;
        out += u'>';
    }
}

XmlNodeObject* XmlNodeObject::Clone(Interpreter& in, bool deep, int version, int depth) {
    XmlNodeObject* copy = in.vm().New<XmlNodeObject>(Proto(), type);
    copy->name = name;
    copy->value = value;
    copy->attributes = in.NewObject();
    for (const String& key : in.EnumerateKeys(attributes, version)) {
        in.vm().Define(copy->attributes, key, in.GetMember(attributes, key, version));
    }
    if (deep && depth < 512) {
        for (XmlNodeObject* c : std::vector<XmlNodeObject*>(children)) {
            copy->Insert(in.vm(), c->Clone(in, true, version, depth + 1), copy->children.size());
        }
    }
    return copy;
}

namespace {

// The prefix an attribute declares a namespace for: "xmlns:p" gives p; any other name
// starting with "xmlns" declares the default namespace, as Flash reads it.
std::optional<String> DeclaredPrefix(const String& key) {
    if (!key.starts_with(u"xmlns")) {
        return std::nullopt;
    }
    return key.size() > 5 && key[5] == u':' ? key.substr(6) : String();
}

}  // namespace

std::optional<String> XmlNodeObject::NamespaceFor(Interpreter& in, const String& prefix,
                                                  int version) {
    for (XmlNodeObject* n = this; n; n = n->parent) {
        if (!n->attributes) {
            continue;
        }
        for (const String& key : in.EnumerateKeys(n->attributes, version)) {
            if (DeclaredPrefix(key) == prefix) {
                return in.ToString(in.GetMember(n->attributes, key, version), version);
            }
        }
    }
    return std::nullopt;
}

std::optional<String> XmlNodeObject::PrefixFor(Interpreter& in, const String& uri, int version) {
    for (XmlNodeObject* n = this; n; n = n->parent) {
        if (!n->attributes) {
            continue;
        }
        for (const String& key : in.EnumerateKeys(n->attributes, version)) {
            auto prefix = DeclaredPrefix(key);
            if (prefix && in.ToString(in.GetMember(n->attributes, key, version), version) == uri) {
                return prefix;
            }
        }
    }
    return std::nullopt;
}

namespace {

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
        parent->Insert(in_.vm(), node, parent->children.size());
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
        open.back()->Insert(in_.vm(), node, open.back()->children.size());
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

void InstallNodeMembers(Interpreter& setup, Object* proto) {
    using C = CallContext;
    XmlProperty(setup, proto, u"nodeType", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? Value::Number(n->type) : Value();
    });
    XmlProperty(
        setup, proto, u"nodeName",
        [](C& c) -> Value {
            XmlNodeObject* n = ThisNode(c);
            return n ? StrOrNull(n->name) : Value();
        },
        [](C& c) -> Value {
            if (XmlNodeObject* n = ThisNode(c)) {
                const Value& v = c.Arg(0);
                n->name = v.IsNullish() ? std::nullopt
                                        : std::optional(InterpreterOf(c.vm).ToString(v, c.version));
            }
            return Value();
        });
    XmlProperty(
        setup, proto, u"nodeValue",
        [](C& c) -> Value {
            XmlNodeObject* n = ThisNode(c);
            return n ? StrOrNull(n->value) : Value();
        },
        [](C& c) -> Value {
            if (XmlNodeObject* n = ThisNode(c)) {
                const Value& v = c.Arg(0);
                n->value = v.IsNullish()
                               ? std::nullopt
                               : std::optional(InterpreterOf(c.vm).ToString(v, c.version));
            }
            return Value();
        });
    XmlProperty(setup, proto, u"attributes", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n && n->attributes ? Value::Obj(n->attributes) : Value();
    });
    XmlProperty(setup, proto, u"childNodes", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? Value::Obj(n->ChildArray(InterpreterOf(c.vm))) : Value();
    });
    auto nodeOrNull = [](XmlNodeObject* n) { return n ? Value::Obj(n) : Value::Null(); };
    XmlProperty(setup, proto, u"parentNode", [nodeOrNull](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? nodeOrNull(n->parent) : Value();
    });
    XmlProperty(setup, proto, u"firstChild", [nodeOrNull](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? nodeOrNull(n->children.empty() ? nullptr : n->children.front()) : Value();
    });
    XmlProperty(setup, proto, u"lastChild", [nodeOrNull](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? nodeOrNull(n->children.empty() ? nullptr : n->children.back()) : Value();
    });
    XmlProperty(setup, proto, u"nextSibling", [nodeOrNull](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? nodeOrNull(n->Sibling(1)) : Value();
    });
    XmlProperty(setup, proto, u"previousSibling", [nodeOrNull](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? nodeOrNull(n->Sibling(-1)) : Value();
    });
    XmlProperty(setup, proto, u"prefix", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? (n->name ? Value::Str(PrefixOf(*n->name)) : Value::Null()) : Value();
    });
    XmlProperty(setup, proto, u"localName", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? (n->name ? Value::Str(LocalNameOf(*n->name)) : Value::Null()) : Value();
    });
    XmlProperty(setup, proto, u"namespaceURI", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        if (!n) {
            return Value();
        }
        if (!n->name) {
            return Value::Null();
        }
        auto uri = n->NamespaceFor(InterpreterOf(c.vm), PrefixOf(*n->name), c.version);
        return Value::Str(uri ? *uri : String());
    });

    Method(setup, proto, u"appendChild", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        if (n) {
            n->Insert(c.vm, NodeOf(c.Arg(0)), n->children.size());
        }
        return Value();
    });
    Method(setup, proto, u"insertBefore", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        XmlNodeObject* before = NodeOf(c.Arg(1));
        if (!n || !before || before->parent != n) {
            return Value();
        }
        auto it = std::find(n->children.begin(), n->children.end(), before);
        n->Insert(c.vm, NodeOf(c.Arg(0)), static_cast<std::size_t>(it - n->children.begin()));
        return Value();
    });
    Method(setup, proto, u"removeNode", [](C& c) -> Value {
        if (XmlNodeObject* n = ThisNode(c)) {
            n->Detach(c.vm);
        }
        return Value();
    });
    Method(setup, proto, u"cloneNode", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        Interpreter& in = InterpreterOf(c.vm);
        if (!n) {
            return Value();
        }
        bool deep = ToBoolean(c.Arg(0), c.version);
        return Value::Obj(n->Clone(in, deep, c.version, 0));
    });
    Method(setup, proto, u"hasChildNodes", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        return n ? Value::Bool(!n->children.empty()) : Value();
    });
    Method(setup, proto, u"getNamespaceForPrefix", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        Interpreter& in = InterpreterOf(c.vm);
        if (!n || c.args.empty()) {
            return Value();
        }
        auto uri = n->NamespaceFor(in, in.ToString(c.Arg(0), c.version), c.version);
        return uri ? Value::Str(*uri) : Value::Null();
    });
    Method(setup, proto, u"getPrefixForNamespace", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        Interpreter& in = InterpreterOf(c.vm);
        if (!n || c.args.empty()) {
            return Value();
        }
        auto prefix = n->PrefixFor(in, in.ToString(c.Arg(0), c.version), c.version);
        return prefix ? Value::Str(*prefix) : Value::Null();
    });
    Method(setup, proto, u"toString", [](C& c) -> Value {
        XmlNodeObject* n = ThisNode(c);
        Interpreter& in = InterpreterOf(c.vm);
        if (!n) {
            return Value::Str(u"[object Object]");
        }
        String out;
        if (auto* doc = dynamic_cast<XmlDocumentObject*>(n)) {
            out += doc->xmlDecl.value_or(String());
            out += doc->docTypeDecl.value_or(String());
        }
        n->Write(in, out, c.version, 0);
        return Value::Str(std::move(out));
    });
}

}  // namespace

void InstallXml(Interpreter& setup, Globals& g) {
    Vm& vm = setup.vm();
    using C = CallContext;

    Object* nodeProto = vm.New<Object>(g.objectProto);
    auto makeNode = [](C& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        Object* proto = in.GetMember(c.callee, u"prototype", c.version).AsObject();
        int type = IntOf(in.ToNumber(c.Arg(0), c.version), kXmlElement);
        auto* node = c.vm.New<XmlNodeObject>(proto, type);
        node->attributes = in.NewObject();
        if (!c.Arg(1).IsNullish()) {
            String v = in.ToString(c.Arg(1), c.version);
            if (type == kXmlElement) {
                node->name = std::move(v);
            } else {
                node->value = std::move(v);
            }
        }
        return Value::Obj(node);
    };
    g.xmlNodeCtor = MakeClass(setup, g, u"XMLNode", nodeProto, makeNode, makeNode);
    InstallNodeMembers(setup, nodeProto);

    Object* docProto = vm.New<Object>(nodeProto);
    auto makeDocument = [](C& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        Object* proto = in.GetMember(c.callee, u"prototype", c.version).AsObject();
        auto* doc = c.vm.New<XmlDocumentObject>(proto);
        doc->attributes = in.NewObject();
        doc->idMap = in.NewObject();
        if (!c.Arg(0).IsNullish()) {
            ParseInto(in, *doc, in.ToString(c.Arg(0), c.version), c.version);
        }
        return Value::Obj(doc);
    };
    MakeClass(setup, g, u"XML", docProto, makeDocument, makeDocument);
    vm.Define(docProto, u"ignoreWhite", Value::Bool(false), kDontEnum);
    vm.Define(docProto, u"contentType", Value::Str(u"application/x-www-form-urlencoded"),
              kDontEnum);
    XmlProperty(setup, docProto, u"status", [](C& c) -> Value {
        XmlDocumentObject* d = ThisDocument(c);
        return d ? Value::Number(d->status) : Value();
    });
    XmlProperty(setup, docProto, u"xmlDecl", [](C& c) -> Value {
        XmlDocumentObject* d = ThisDocument(c);
        return d && d->xmlDecl ? Value::Str(*d->xmlDecl) : Value();
    });
    XmlProperty(setup, docProto, u"docTypeDecl", [](C& c) -> Value {
        XmlDocumentObject* d = ThisDocument(c);
        return d && d->docTypeDecl ? Value::Str(*d->docTypeDecl) : Value();
    });
    XmlProperty(setup, docProto, u"idMap", [](C& c) -> Value {
        XmlDocumentObject* d = ThisDocument(c);
        return d && d->idMap ? Value::Obj(d->idMap) : Value();
    });
    Method(setup, docProto, u"parseXML", [](C& c) -> Value {
        if (XmlDocumentObject* d = ThisDocument(c)) {
            Interpreter& in = InterpreterOf(c.vm);
            ParseInto(in, *d, in.ToString(c.Arg(0), c.version), c.version);
        }
        return Value();
    });
    Method(setup, docProto, u"createElement", [](C& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        auto* node = c.vm.New<XmlNodeObject>(NodePrototype(in, c.version), kXmlElement);
        node->attributes = in.NewObject();
        node->name = in.ToString(c.Arg(0), c.version);
        return Value::Obj(node);
    });
    Method(setup, docProto, u"createTextNode", [](C& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        auto* node = c.vm.New<XmlNodeObject>(NodePrototype(in, c.version), kXmlText);
        node->attributes = in.NewObject();
        node->value = in.ToString(c.Arg(0), c.version);
        return Value::Obj(node);
    });
    // Loading needs a network the player does not offer scripts: nothing is fetched.
    for (StringView name : {u"load", u"sendAndLoad"}) {
        Method(setup, docProto, name, [](C&) -> Value { return Value::Bool(false); });
    }
    Method(setup, docProto, u"send", [](C&) -> Value { return Value::Bool(false); });
    Method(setup, docProto, u"addRequestHeader", [](C&) -> Value { return Value(); });
    Method(setup, docProto, u"getBytesLoaded", [](C&) -> Value { return Value(); });
    Method(setup, docProto, u"getBytesTotal", [](C&) -> Value { return Value(); });
    // Flash's default onData parses what arrived and reports it to onLoad.
    Method(setup, docProto, u"onData", [](C& c) -> Value {
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
            in.CallFunction(onLoad.AsObject(), c.thisValue, std::span<const Value>(&arg, 1),
                            c.version);
        }
        return Value();
    });
}

}  // namespace flash::avm1
