#pragma once

// XMLNode and XML objects, for their classes (xml_node.cpp, xml.cpp) and tests.

#include <optional>
#include <vector>

#include "flash/avm1/host.h"
#include "internal.h"

namespace flash::avm1 {

class Interpreter;

enum XmlNodeType { kXmlElement = 1, kXmlText = 3 };

// One node of an XML tree. Its script members are accessors on XMLNode.prototype.
class XmlNodeObject : public Object {
  public:
    XmlNodeObject(Object* proto, int nodeType) : Object(proto, ObjectClass::Host), type(nodeType) {}
    void TraceRefs(std::vector<Object*>& out) override;

    bool IsAncestorOrSelf(const XmlNodeObject* node) const;
    // Moves `child` to `index` among the children; refuses a node that contains this one.
    bool Insert(Vm& vm, XmlNodeObject* child, std::size_t index);
    // Appends a node made just now, which has no parent and cannot hold this one: no walk up
    // the tree, so building a deep tree costs its size.
    void AppendNew(Vm& vm, XmlNodeObject* child);
    void Detach(Vm& vm);
    XmlNodeObject* Sibling(int step) const;
    // childNodes: one array per node, rebuilt whenever the children change.
    ArrayObject* ChildArray(Interpreter& in);
    void RefreshChildArray(Vm& vm);
    // The text form toString gives.
    void Write(Interpreter& in, String& out, int version, int depth);
    XmlNodeObject* Clone(Interpreter& in, bool deep, int version, int depth);
    // The namespace a prefix maps to (xmlns attributes of this node and its ancestors).
    std::optional<String> NamespaceFor(Interpreter& in, const String& prefix, int version);
    std::optional<String> PrefixFor(Interpreter& in, const String& uri, int version);

    int type;
    std::optional<String> name;   // elements; null for text and documents
    std::optional<String> value;  // text nodes
    Object* attributes = nullptr;
    XmlNodeObject* parent = nullptr;
    std::vector<XmlNodeObject*> children;
    ArrayObject* childArray = nullptr;
};

// An XML document: the root node plus what parsing found.
class XmlDocumentObject : public XmlNodeObject, public LoadProgress {
  public:
    explicit XmlDocumentObject(Object* proto) : XmlNodeObject(proto, kXmlElement) {}
    void TraceRefs(std::vector<Object*>& out) override;

    std::optional<String> xmlDecl;
    std::optional<String> docTypeDecl;
    int status = 0;
    Object* idMap = nullptr;
};

}  // namespace flash::avm1
