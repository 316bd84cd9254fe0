// XMLNode: a node of a small DOM (element or text), its members as accessors on the
// prototype, and its text form.
#include "xml_node.h"

#include <algorithm>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/xml_text.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

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

Value StrOrNull(const std::optional<String>& s) {
    return s ? Value::Str(*s) : Value::Null();
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

void XmlNodeObject::AppendNew(Vm& vm, XmlNodeObject* child) {
    children.push_back(child);
    child->parent = this;
    if (childArray) {
        childArray->Push(vm, Value::Obj(child));
    }
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
            copy->AppendNew(in.vm(), c->Clone(in, true, version, depth + 1));
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

Value MakeNode(CallContext& c) {
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
}

Value NodeOrNull(XmlNodeObject* n) {
    return n ? Value::Obj(n) : Value::Null();
}

Value NodeType(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? Value::Number(n->type) : Value();
}

Value NodeName(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? StrOrNull(n->name) : Value();
}

Value SetNodeName(CallContext& c) {
    if (XmlNodeObject* n = ThisNode(c)) {
        const Value& v = c.Arg(0);
        n->name = v.IsNullish() ? std::nullopt
                                : std::optional(InterpreterOf(c.vm).ToString(v, c.version));
    }
    return Value();
}

Value NodeValue(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? StrOrNull(n->value) : Value();
}

Value SetNodeValue(CallContext& c) {
    if (XmlNodeObject* n = ThisNode(c)) {
        const Value& v = c.Arg(0);
        n->value = v.IsNullish() ? std::nullopt
                                 : std::optional(InterpreterOf(c.vm).ToString(v, c.version));
    }
    return Value();
}

Value Attributes(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n && n->attributes ? Value::Obj(n->attributes) : Value();
}

Value ChildNodes(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? Value::Obj(n->ChildArray(InterpreterOf(c.vm))) : Value();
}

Value ParentNode(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? NodeOrNull(n->parent) : Value();
}

Value FirstChild(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? NodeOrNull(n->children.empty() ? nullptr : n->children.front()) : Value();
}

Value LastChild(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? NodeOrNull(n->children.empty() ? nullptr : n->children.back()) : Value();
}

Value NextSibling(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? NodeOrNull(n->Sibling(1)) : Value();
}

Value PreviousSibling(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? NodeOrNull(n->Sibling(-1)) : Value();
}

Value Prefix(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? (n->name ? Value::Str(PrefixOf(*n->name)) : Value::Null()) : Value();
}

Value LocalName(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? (n->name ? Value::Str(LocalNameOf(*n->name)) : Value::Null()) : Value();
}

Value NamespaceUri(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    if (!n) {
        return Value();
    }
    if (!n->name) {
        return Value::Null();
    }
    auto uri = n->NamespaceFor(InterpreterOf(c.vm), PrefixOf(*n->name), c.version);
    return Value::Str(uri ? *uri : String());
}

Value AppendChild(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    if (n) {
        n->Insert(c.vm, NodeOf(c.Arg(0)), n->children.size());
    }
    return Value();
}

Value InsertBefore(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    XmlNodeObject* before = NodeOf(c.Arg(1));
    if (!n || !before || before->parent != n) {
        return Value();
    }
    auto it = std::find(n->children.begin(), n->children.end(), before);
    n->Insert(c.vm, NodeOf(c.Arg(0)), static_cast<std::size_t>(it - n->children.begin()));
    return Value();
}

Value RemoveNode(CallContext& c) {
    if (XmlNodeObject* n = ThisNode(c)) {
        n->Detach(c.vm);
    }
    return Value();
}

Value CloneNode(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    Interpreter& in = InterpreterOf(c.vm);
    if (!n) {
        return Value();
    }
    bool deep = ToBoolean(c.Arg(0), c.version);
    return Value::Obj(n->Clone(in, deep, c.version, 0));
}

Value HasChildNodes(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    return n ? Value::Bool(!n->children.empty()) : Value();
}

Value GetNamespaceForPrefix(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    Interpreter& in = InterpreterOf(c.vm);
    if (!n || c.args.empty()) {
        return Value();
    }
    auto uri = n->NamespaceFor(in, in.ToString(c.Arg(0), c.version), c.version);
    return uri ? Value::Str(*uri) : Value::Null();
}

Value GetPrefixForNamespace(CallContext& c) {
    XmlNodeObject* n = ThisNode(c);
    Interpreter& in = InterpreterOf(c.vm);
    if (!n || c.args.empty()) {
        return Value();
    }
    auto prefix = n->PrefixFor(in, in.ToString(c.Arg(0), c.version), c.version);
    return prefix ? Value::Str(*prefix) : Value::Null();
}

Value ToString(CallContext& c) {
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
}

constexpr NativeMember kPrototype[] = {
    Accessor(u"nodeType", NodeType),
    Accessor(u"nodeName", NodeName, SetNodeName),
    Accessor(u"nodeValue", NodeValue, SetNodeValue),
    Accessor(u"attributes", Attributes),
    Accessor(u"childNodes", ChildNodes),
    Accessor(u"parentNode", ParentNode),
    Accessor(u"firstChild", FirstChild),
    Accessor(u"lastChild", LastChild),
    Accessor(u"nextSibling", NextSibling),
    Accessor(u"previousSibling", PreviousSibling),
    Accessor(u"prefix", Prefix),
    Accessor(u"localName", LocalName),
    Accessor(u"namespaceURI", NamespaceUri),
    Method(u"appendChild", AppendChild),
    Method(u"insertBefore", InsertBefore),
    Method(u"removeNode", RemoveNode),
    Method(u"cloneNode", CloneNode),
    Method(u"hasChildNodes", HasChildNodes),
    Method(u"getNamespaceForPrefix", GetNamespaceForPrefix),
    Method(u"getPrefixForNamespace", GetPrefixForNamespace),
    Method(u"toString", ToString),
};

}  // namespace

void InstallXmlNode(Interpreter& in, Globals& g) {
    g.xmlNodeProto = in.vm().New<Object>(g.objectProto);
    g.xmlNodeCtor = MakeClass(in, u"XMLNode", g.xmlNodeProto, MakeNode, MakeNode);
    DefineMembers(in.vm(), g.xmlNodeProto, kPrototype);
}

}  // namespace flash::avm1
