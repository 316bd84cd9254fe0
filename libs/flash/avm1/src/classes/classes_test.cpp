// Built-in classes and global functions, through small scripts.
#include <gtest/gtest.h>

#include "flash/avm1/testing/assembler.h"
#include "flash/avm1/testing/fake_host.h"
#include "flash/avm1/vm.h"

namespace flash::avm1 {
namespace {

using testing::Assembler;
using testing::FakeHost;
using A = ActionCode;

// Evaluates `receiver.method(args...)` (or `method(args...)` when receiver is empty) with
// string, number and array arguments written as a small expression list.
class BuiltinsTest : public ::testing::Test {
  protected:
    std::string Trace(const Assembler& a, int version = 7) {
        host.traces.clear();
        vm.Run(a.Shared(), &host.root(), version);
        return host.traces.empty() ? "<none>" : host.traces.back();
    }

    FakeHost host;
    Vm vm{host};
};

// Pushes an array literal of numbers or strings.
Assembler& PushArray(Assembler& a, const std::vector<std::string>& items) {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        char* end = nullptr;
        double d = std::strtod(it->c_str(), &end);
        if (!it->empty() && *end == 0) {
            a.Push(d);
        } else {
            a.Push(*it);
        }
    }
    return a.Push(static_cast<double>(items.size())).Op(A::InitArray);
}

TEST_F(BuiltinsTest, ArraySortFlags) {
    struct Case {
        std::vector<std::string> items;
        double flags;  // < 0: no argument
        const char* expected;
    };
    const Case cases[] = {
        {{"d", "c", "a", "b"}, -1, "a,b,c,d"},
        {{"4", "1", "3", "22", "2"}, -1, "1,2,22,3,4"},
        {{"4", "1", "3", "22", "2"}, 16, "1,2,3,4,22"},      // NUMERIC
        {{"4", "1", "3", "22", "2"}, 16 | 2, "22,4,3,2,1"},  // NUMERIC | DESCENDING
        {{"b", "A", "a", "B"}, 1, "A,a,b,B"},                // CASEINSENSITIVE, stable
        {{"d", "c", "a", "b"}, 8, "2,3,1,0"},                // RETURNINDEXEDARRAY
        {{"4", "1", "4"}, 4, "0"},                           // UNIQUESORT with equals
    };
    for (const Case& c : cases) {
        Assembler a;
        if (c.flags >= 0) {
            a.Push(c.flags).Push(1.0);
        } else {
            a.Push(0.0);
        }
        PushArray(a, c.items).Push("sort").Op(A::CallMethod).Trace();
        EXPECT_EQ(Trace(a), c.expected) << c.flags;
    }
}

TEST_F(BuiltinsTest, ArrayMethods) {
    struct Case {
        const char* method;
        std::vector<double> args;
        const char* expected;  // the array afterwards, then the result
    };
    const Case cases[] = {
        {"push", {5, 6}, "1,2,3,5,6|5"},  {"pop", {}, "1,2|3"},
        {"shift", {}, "2,3|1"},           {"unshift", {0}, "0,1,2,3|4"},
        {"reverse", {}, "3,2,1|3,2,1"},   {"slice", {-2}, "1,2,3|2,3"},
        {"splice", {1, 1, 9}, "1,9,3|2"}, {"join", {}, "1,2,3|1,2,3"},
        {"concat", {4}, "1,2,3|1,2,3,4"},
    };
    for (const Case& c : cases) {
        Assembler a;
        a.Push("arr");
        PushArray(a, {"1", "2", "3"}).Op(A::SetVariable);
        for (auto it = c.args.rbegin(); it != c.args.rend(); ++it) {
            a.Push(*it);
        }
        a.Push(static_cast<double>(c.args.size())).Push("arr").Op(A::GetVariable);
        a.Push(c.method).Op(A::CallMethod).Push("r").Op(A::StackSwap).Op(A::SetVariable);
        a.Push("arr").Op(A::GetVariable).Push("|").Op(A::Add2).Push("r").Op(A::GetVariable);
        a.Op(A::Add2).Trace();
        EXPECT_EQ(Trace(a), c.expected) << c.method;
    }
}

TEST_F(BuiltinsTest, StringMethods) {
    struct Case {
        const char* method;
        std::vector<double> args;
        const char* expected;
    };
    const Case cases[] = {
        {"charAt", {1}, "e"},        {"charAt", {9}, ""},       {"charCodeAt", {0}, "104"},
        {"charCodeAt", {9}, "NaN"},  {"indexOf", {}, "-1"},     {"substr", {-3, 2}, "ll"},
        {"substring", {3, 1}, "el"}, {"slice", {1, -1}, "ell"}, {"toUpperCase", {}, "HELLO"},
    };
    for (const Case& c : cases) {
        Assembler a;
        for (auto it = c.args.rbegin(); it != c.args.rend(); ++it) {
            a.Push(*it);
        }
        a.Push(static_cast<double>(c.args.size())).Push("hello").Push(c.method);
        a.Op(A::CallMethod).Trace();
        EXPECT_EQ(Trace(a), c.expected) << c.method;
    }
    Assembler split;
    split.Push(",").Push(1.0).Push("a,b,,c").Push("split").Op(A::CallMethod);
    split.Push("length").Op(A::GetMember).Trace();
    EXPECT_EQ(Trace(split), "4");
    Assembler length;
    length.Push("hello").Push("length").Op(A::GetMember).Trace();
    EXPECT_EQ(Trace(length), "5");
}

TEST_F(BuiltinsTest, GlobalFunctions) {
    struct Case {
        const char* function;
        std::vector<std::string> args;
        const char* expected;
    };
    const Case cases[] = {
        {"parseInt", {"  42px"}, "42"},
        {"parseInt", {"0x1F"}, "31"},
        {"parseInt", {"010"}, "8"},
        {"parseInt", {"z", "36"}, "35"},
        {"parseInt", {"abc"}, "NaN"},
        {"parseFloat", {"3.5e2x"}, "350"},
        {"parseFloat", {"1.2.3"}, "1.23"},
        {"isNaN", {"abc"}, "true"},
        {"isFinite", {"12"}, "true"},
        {"escape", {"a b&\xC3\xA9"}, "a%20b%26%C3%A9"},
        {"unescape", {"a%20b%C3%A9"}, "a b\xC3\xA9"},
    };
    for (const Case& c : cases) {
        Assembler a;
        for (auto it = c.args.rbegin(); it != c.args.rend(); ++it) {
            a.Push(*it);
        }
        a.Push(static_cast<double>(c.args.size())).Push(c.function).Op(A::CallFunction).Trace();
        EXPECT_EQ(Trace(a), c.expected) << c.function << " " << c.args[0];
    }
}

TEST_F(BuiltinsTest, NumberMathAndDate) {
    Assembler a;
    a.Push(16.0).Push(1.0).Push(255.0).Push(1.0).Push("Number").Op(A::NewObject);
    a.Push("toString").Op(A::CallMethod).Trace();
    EXPECT_EQ(Trace(a), "ff");
    Assembler m;
    m.Push(-2.5).Push(1.0).Push("Math").Op(A::GetVariable).Push("round").Op(A::CallMethod).Trace();
    EXPECT_EQ(Trace(m), "-2");
    // Date.UTC(2000, 1, 29, 12) read back in UTC.
    Assembler d;
    d.Push("t").Push(12.0).Push(29.0).Push(1.0).Push(2000.0).Push(4.0).Push("Date");
    d.Op(A::GetVariable).Push("UTC").Op(A::CallMethod).Op(A::SetVariable);
    d.Push("d")
        .Push("t")
        .Op(A::GetVariable)
        .Push(1.0)
        .Push("Date")
        .Op(A::NewObject)
        .Op(A::SetVariable);
    for (const char* getter :
         {"getUTCFullYear", "getUTCMonth", "getUTCDate", "getUTCDay", "getUTCHours"}) {
        d.Push(0.0).Push("d").Op(A::GetVariable).Push(getter).Op(A::CallMethod).Trace();
    }
    host.traces.clear();
    vm.Run(d.Shared(), &host.root(), 7);
    EXPECT_EQ(host.traces, (std::vector<std::string>{"2000", "1", "29", "2", "12"}));
}

namespace xml {

// x = new XML(text)
Assembler& NewXml(Assembler& a, const std::string& text, bool ignoreWhite = false) {
    a.Push("x").Push(0.0).Push("XML").Op(A::NewObject).Op(A::SetVariable);
    if (ignoreWhite) {
        a.Push("x").Op(A::GetVariable).Push("ignoreWhite").PushBool(true).Op(A::SetMember);
    }
    a.Push(text).Push(1.0).Push("x").Op(A::GetVariable).Push("parseXML").Op(A::CallMethod);
    return a.Op(A::Pop);
}

// Pushes x followed by the members in `path`.
Assembler& Node(Assembler& a, const std::vector<std::string>& path) {
    a.Push("x").Op(A::GetVariable);
    for (const std::string& m : path) {
        a.Push(m).Op(A::GetMember);
    }
    return a;
}

}  // namespace xml

TEST_F(BuiltinsTest, XmlParsesAndPrintsAsFlash) {
    struct Case {
        const char* text;
        bool ignoreWhite;
        const char* printed;
        int status;
    };
    const Case cases[] = {
        {"<a x=\"1\" y='2'><b/>t</a>", false, "<a x=\"1\" y=\"2\"><b />t</a>", 0},
        {"<a> <b /> </a>", true, "<a><b /></a>", 0},
        {"<a> <b /> </a>", false, "<a> <b /> </a>", 0},
        {"<?xml version=\"1.0\"?><!DOCTYPE a><a/>", false,
         "<?xml version=\"1.0\"?><!DOCTYPE a><a />", 0},
        {"<a><!-- note --><![CDATA[<&>]]></a>", false, "<a>&lt;&amp;&gt;</a>", 0},
        {"<d>A &amp; &#39; &x; &&amp;</d>", false, "<d>A &amp; &apos; &amp;x; &amp;&amp;</d>", 0},
        {"<a><b></a>", false, "<a><b /></a>", -10},
        {"<a><b>", false, "<a><b /></a>", -9},
        {"<a x=\"1></a>", false, "<a />", -8},
        {"<a><!-- open", false, "<a />", -5},
        {"<a><![CDATA[x", false, "<a />", -2},
    };
    for (const Case& c : cases) {
        Assembler a;
        xml::NewXml(a, c.text, c.ignoreWhite);
        xml::Node(a, {}).Trace();
        xml::Node(a, {"status"}).Trace();
        host.traces.clear();
        vm.Run(a.Shared(), &host.root(), 8);
        ASSERT_EQ(host.traces.size(), 2u) << c.text;
        EXPECT_EQ(host.traces[0], c.printed) << c.text;
        EXPECT_EQ(host.traces[1], std::to_string(c.status)) << c.text;
    }
}

// A document nested 65,536 deep (built by doubling "<a>" in the script, as a small movie
// would) parses in time proportional to its length: each new node joins its parent without a
// walk up the whole chain above it.
TEST_F(BuiltinsTest, DeeplyNestedXmlParsesInOnePass) {
    for (bool closed : {false, true}) {
        Assembler a;
        a.Push("s").Push("<a>").Op(A::SetVariable);
        a.Push("e").Push("</a>").Op(A::SetVariable);
        for (int i = 0; i < 16; ++i) {
            for (const char* name : {"s", "e"}) {
                a.Push(name).Push(name).Op(A::GetVariable).Push(name).Op(A::GetVariable);
                a.Op(A::Add2).Op(A::SetVariable);
            }
        }
        a.Push("x").Push("s").Op(A::GetVariable);
        if (closed) {
            a.Push("e").Op(A::GetVariable).Op(A::Add2);
        }
        a.Push(1.0).Push("XML").Op(A::NewObject).Op(A::SetVariable);
        xml::Node(a, {"status"}).Trace();
        xml::Node(a, {"firstChild", "firstChild", "firstChild", "nodeName"}).Trace();
        host.traces.clear();
        vm.Run(a.Shared(), &host.root(), 8);
        EXPECT_EQ(host.traces, (std::vector<std::string>{closed ? "0" : "-9", "a"}));
    }
}

TEST_F(BuiltinsTest, XmlTreeEditsKeepOneParent) {
    Assembler a;
    xml::NewXml(a, "<a><b /></a><c />");
    xml::Node(a, {"childNodes"}).Push("kids").Op(A::StackSwap).Op(A::SetVariable);
    // A node never goes inside itself or its descendants.
    xml::Node(a, {}).Push(1.0);
    xml::Node(a, {"firstChild", "firstChild"}).Push("appendChild").Op(A::CallMethod).Op(A::Pop);
    xml::Node(a, {}).Trace();
    // Appending moves b out of a to the end of the document.
    xml::Node(a, {"firstChild", "firstChild"}).Push(1.0);
    xml::Node(a, {}).Push("appendChild").Op(A::CallMethod).Op(A::Pop);
    xml::Node(a, {}).Trace();
    // childNodes read earlier is the same array, refreshed.
    a.Push("kids").Op(A::GetVariable).Trace();
    xml::Node(a, {"lastChild", "previousSibling", "nodeName"}).Trace();
    xml::Node(a, {"firstChild", "parentNode", "nodeName"}).Trace();
    // insertBefore puts a new element before c; a deep clone copies children and attributes.
    xml::Node(a, {"lastChild", "previousSibling"}).Push("e").Push(1.0);
    xml::Node(a, {}).Push("createElement").Op(A::CallMethod).Push(2.0);
    xml::Node(a, {}).Push("insertBefore").Op(A::CallMethod).Op(A::Pop);
    xml::Node(a, {}).Trace();
    a.PushBool(true).Push(1.0);
    xml::Node(a, {}).Push("cloneNode").Op(A::CallMethod).Trace();
    vm.Run(a.Shared(), &host.root(), 8);
    const std::vector<std::string> expected = {
        "<a><b /></a><c />",    "<a /><c /><b />",     "<a />,<c />,<b />", "c", "null",
        "<a /><e /><c /><b />", "<a /><e /><c /><b />"};
    EXPECT_EQ(host.traces, expected);
}

TEST_F(BuiltinsTest, ExternalInterfaceHelpersWriteTheCallProtocol) {
    struct Case {
        const char* helper;
        std::vector<std::string> array;  // the argument, as an array literal
        bool asArray;                    // else its first element alone
        const char* expected;
    };
    const Case cases[] = {
        {"_escapeXML", {"a<b>&'\""}, false, "a&lt;b&gt;&amp;&apos;&quot;"},
        {"_escapeXML", {""}, false, "null"},
        {"_unescapeXML", {"&amp;lt; &Lt; &#32;"}, false, "&lt; &Lt; &#32;"},
        {"_jsQuoteString", {"a\\\"b"}, false, "a\\\\\"b"},
        {"_toXML", {"x&y"}, false, "<string>x&amp;y</string>"},
        {"_toXML", {"4"}, true, "<array><property id=\"0\"><number>4</number></property></array>"},
        {"_argumentsToXML",
         {"f", "s", "2"},
         true,
         "<arguments><string>s</string><number>2</number></arguments>"},
    };
    for (const Case& c : cases) {
        Assembler a;
        if (c.asArray) {
            PushArray(a, c.array);
        } else {
            a.Push(c.array[0]);
        }
        a.Push(1.0).Push("flash").Op(A::GetVariable).Push("external").Op(A::GetMember);
        a.Push("ExternalInterface").Op(A::GetMember).Push(c.helper).Op(A::CallMethod).Trace();
        EXPECT_EQ(Trace(a, 8), c.expected) << c.helper << " " << c.array[0];
    }
}

TEST_F(BuiltinsTest, ArrayElementsEnumerateNewestFirst) {
    // a = []; a[5] = 5; a[2] = 2; a[3] = 3; a[2] = 9; then for..in collects the keys.
    Assembler a;
    a.Push("a").Push(0.0).Op(A::InitArray).Op(A::SetVariable);
    for (double i : {5.0, 2.0, 3.0}) {
        a.Push("a").Op(A::GetVariable).Push(i).Push(i).Op(A::SetMember);
    }
    a.Push("a").Op(A::GetVariable).Push(2.0).Push(9.0).Op(A::SetMember);
    a.Push("s").Push("").Op(A::SetVariable);
    a.Push("a").Op(A::GetVariable).Op(A::Enumerate2).Label("loop");
    a.StoreRegister(0).PushNull().Op(A::Equals2).If("done");
    a.Push("s").Push("s").Op(A::GetVariable).PushRegister(0).Op(A::Add2).Push(",").Op(A::Add2);
    a.Op(A::SetVariable).Jump("loop").Label("done");
    a.Push("s").Op(A::GetVariable).Trace();
    EXPECT_EQ(Trace(a), "3,2,5,");
}

TEST_F(BuiltinsTest, ArrayMethodsRewriteTheElementsTheyMove) {
    // a = []; a[i] = i + 1 for each index; ASSetPropFlags(a, "el", flags) when el >= 0;
    // a.method(args); then the trace is the values and the keys for..in collects.
    struct Case {
        std::vector<double> set;
        double el;
        double flags;
        const char* method;
        std::vector<double> args;
        const char* expected;
    };
    const Case cases[] = {
        {{3}, -1, 0, "reverse", {}, "4,undefined,undefined,undefined|2,1,3,0,"},
        {{0, 1, 2}, -1, 0, "reverse", {}, "3,2,1|2,0,1,"},
        {{2, 3, 5}, -1, 0, "reverse", {}, "6,undefined,4,3,undefined,undefined|3,2,4,1,5,0,"},
        {{0, 1, 2, 3, 4}, 0, 6, "reverse", {}, "1,4,3,2,1|3,1,4,2,0,"},
        {{0, 1, 2, 3, 4}, 3, 6, "reverse", {}, "5,4,3,4,1|1,4,0,3,2,"},
        {{0, 1, 2, 3, 4}, 2, 1, "reverse", {}, "5,4,3,2,1|3,1,4,0,"},
        {{1}, -1, 0, "unshift", {7, 8}, "7,8,undefined,2|1,0,2,3,"},
        {{0, 1, 2}, -1, 0, "unshift", {7, 8, 9}, "7,8,9,1,2,3|2,1,0,3,4,5,"},
        {{0, 1, 2}, 0, 6, "unshift", {7, 8, 9}, "1,8,9,1,2,3|2,1,3,4,5,0,"},
        {{0, 1, 2}, 0, 1, "unshift", {7, 8, 9}, "7,8,9,1,2,3|2,1,0,3,4,5,"},
        {{}, -1, 0, "unshift", {7, 8, 9}, "7,8,9|2,1,0,"},
    };
    for (const Case& c : cases) {
        Assembler a;
        a.Push("a").Push(0.0).Op(A::InitArray).Op(A::SetVariable);
        for (double i : c.set) {
            a.Push("a").Op(A::GetVariable).Push(i).Push(i + 1).Op(A::SetMember);
        }
        if (c.el >= 0) {
            a.Push(c.flags).Push(c.el).Push("a").Op(A::GetVariable).Push(3.0);
            a.Push("ASSetPropFlags").Op(A::CallFunction).Op(A::Pop);
        }
        for (auto it = c.args.rbegin(); it != c.args.rend(); ++it) {
            a.Push(*it);
        }
        a.Push(static_cast<double>(c.args.size())).Push("a").Op(A::GetVariable);
        a.Push(c.method).Op(A::CallMethod).Op(A::Pop);
        a.Push("s").Push("a").Op(A::GetVariable).Push("|").Op(A::Add2).Op(A::SetVariable);
        a.Push("a").Op(A::GetVariable).Op(A::Enumerate2).Label("loop");
        a.StoreRegister(0).PushNull().Op(A::Equals2).If("done");
        a.Push("s").Push("s").Op(A::GetVariable).PushRegister(0).Op(A::Add2).Push(",");
        a.Op(A::Add2).Op(A::SetVariable).Jump("loop").Label("done");
        a.Push("s").Op(A::GetVariable).Trace();
        EXPECT_EQ(Trace(a), c.expected) << c.method << " on " << c.set.size() << " elements";
    }
}

TEST_F(BuiltinsTest, MovieClipLoaderAsksTheHostToLoadIntoItsTarget) {
    host.root().AddChild(u"mc");
    // l = new MovieClipLoader(); l.loadClip("a.swf", "mc"); l.loadClip("b.swf", 2);
    // l.unloadClip(mc); l.loadClip("c.swf", "nothing") gives false.
    Assembler a;
    a.Push("l").Push(0.0).Push("MovieClipLoader").Op(A::NewObject).Op(A::SetVariable);
    a.Push("mc").Push("a.swf").Push(2.0).Push("l").Op(A::GetVariable).Push("loadClip");
    a.Op(A::CallMethod).Op(A::Pop);
    a.Push(2.0).Push("b.swf").Push(2.0).Push("l").Op(A::GetVariable).Push("loadClip");
    a.Op(A::CallMethod).Op(A::Pop);
    a.Push("mc").Op(A::GetVariable).Push(1.0).Push("l").Op(A::GetVariable).Push("unloadClip");
    a.Op(A::CallMethod).Op(A::Pop);
    a.Push("nothing").Push("c.swf").Push(2.0).Push("l").Op(A::GetVariable).Push("loadClip");
    a.Op(A::CallMethod).Trace();
    EXPECT_EQ(Trace(a), "false");
    ASSERT_EQ(host.requests.size(), 3u);
    const UrlRequest& clip = host.requests[0];
    EXPECT_EQ(ToUtf8(clip.url), "a.swf");
    EXPECT_TRUE(clip.loadTarget);
    ASSERT_NE(clip.targetClip, nullptr);
    EXPECT_EQ(ToUtf8(clip.targetClip->Name()), "mc");
    EXPECT_NE(clip.loader, nullptr);
    EXPECT_EQ(host.requests[1].targetLevel, 2);
    EXPECT_EQ(host.requests[1].loader, clip.loader);
    EXPECT_TRUE(host.requests[2].url.empty());  // unloadClip
    EXPECT_EQ(host.requests[2].loader, nullptr);
}

TEST_F(BuiltinsTest, BroadcasterInitializeOutlivesReplacedMethods) {
    // Every holder of AsBroadcaster's methods gets other values, the collector runs, and
    // initialize still hands out working methods.
    Assembler replace;
    for (const char* holder : {"AsBroadcaster", "Key", "Mouse", "Stage", "System.IME"}) {
        for (const char* name : {"addListener", "removeListener", "broadcastMessage"}) {
            replace.Push(holder).Op(A::GetVariable).Push(name).PushNull().Op(A::SetMember);
        }
    }
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"}) {
        replace.Push("MovieClipLoader").Op(A::GetVariable).Push("prototype").Op(A::GetMember);
        replace.Push(name).PushNull().Op(A::SetMember);
    }
    vm.Run(replace.Shared(), &host.root(), 7);
    vm.Collect();

    // o = {}; AsBroadcaster.initialize(o); l = {m: function() { trace("heard"); }};
    // o.addListener(l); o.broadcastMessage("m");
    Assembler heard;
    heard.Push("heard").Trace();
    Assembler a;
    a.Push("o").Push(0.0).Push("Object").Op(A::NewObject).Op(A::SetVariable);
    a.Push("o").Op(A::GetVariable).Push(1.0).Push("AsBroadcaster").Op(A::GetVariable);
    a.Push("initialize").Op(A::CallMethod).Op(A::Pop);
    a.Push("l").Push(0.0).Push("Object").Op(A::NewObject).Op(A::SetVariable);
    a.Push("l").Op(A::GetVariable).Push("m").Function("", {}, heard).Op(A::SetMember);
    a.Push("l").Op(A::GetVariable).Push(1.0).Push("o").Op(A::GetVariable).Push("addListener");
    a.Op(A::CallMethod).Op(A::Pop);
    a.Push("m").Push(1.0).Push("o").Op(A::GetVariable).Push("broadcastMessage");
    a.Op(A::CallMethod).Op(A::Pop);
    EXPECT_EQ(Trace(a), "heard");
}

}  // namespace
}  // namespace flash::avm1

namespace flash::avm1 {
namespace {

// Pushes `o` = a fresh object, then calls `function(o, major, names[, first])`.
void CallOnNewObject(Assembler& a, const char* function, double major, const char* names,
                     double first) {
    a.Push("o").Push(0.0).Op(A::InitObject).Op(A::SetVariable);
    double count = 3;
    if (first >= 0) {
        a.Push(first);
        count = 4;
    }
    a.Push(names).Push(major).Push("o").Op(A::GetVariable).Push(count).Push(function);
    a.Op(A::CallFunction).Op(A::Pop);
}

TEST_F(BuiltinsTest, NativeIdsReachTheBuiltIns) {
    struct Case {
        double major, minor;
        std::vector<double> args;  // pushed as given, called with this = a Date of 1234 ms
        const char* expected;
    };
    const Case cases[] = {
        {103, 16, {}, "1234"},        // Date getTime
        {200, 0, {-3}, "3"},          // Math.abs
        {200, 17, {2, 10}, "1024"},   // Math.pow
        {200, 50, {1}, "NaN"},        // a number Math does not have
        {2200, 0, {1}, "undefined"},  // a class with no natives
    };
    for (const Case& c : cases) {
        Assembler a;
        a.Push("f").Push(c.minor).Push(c.major).Push(2.0).Push("ASnative").Op(A::CallFunction);
        a.Op(A::SetVariable);
        a.Push("d").Push(1234.0).Push(1.0).Push("Date").Op(A::NewObject).Op(A::SetVariable);
        a.Push("d").Op(A::GetVariable).Push("m").Push("f").Op(A::GetVariable).Op(A::SetMember);
        for (auto it = c.args.rbegin(); it != c.args.rend(); ++it) {
            a.Push(*it);
        }
        a.Push(static_cast<double>(c.args.size())).Push("d").Op(A::GetVariable).Push("m");
        a.Op(A::CallMethod).Trace();
        EXPECT_EQ(Trace(a), c.expected) << c.major << "," << c.minor;
    }
}

TEST_F(BuiltinsTest, AsSetNativeNamesNumbersAndVersions) {
    struct Case {
        const char* function;
        const char* names;
        double first;  // < 0: not given
        int version;
        const char* expr;  // a member of o, read as typeof or called
        const char* expected;
    };
    const Case cases[] = {
        {"ASSetNative", "abs,min", -1, 7, "min", "function"},
        {"ASSetNative", ",,getTime", 14, 7, "getTime", "function"},
        {"ASSetNative", "6f,7g,8h,10j", -1, 7, "g", "function"},
        {"ASSetNative", "6f,7g,8h,10j", -1, 7, "h", "undefined"},
        {"ASSetNative", "6f,7g,8h,10j", -1, 8, "h", "function"},
        {"ASSetNative", "10j", -1, 9, "j", "undefined"},
        {"ASSetNative", "2b,11k", -1, 7, "2b", "function"},
        {"ASSetNative", "2b,11k", -1, 7, "1k", "function"},
        {"ASSetNative", " a ", -1, 7, " a ", "function"},
        // Accessors: a getter and a setter per name, numbered in pairs.
        {"ASSetNativeAccessor", "a", -1, 7, "a", "number"},
        {"ASSetNativeAccessor", "8a", -1, 7, "a", "undefined"},
    };
    for (const Case& c : cases) {
        Assembler a;
        CallOnNewObject(a, c.function, 200, c.names, c.first);
        a.Push("o").Op(A::GetVariable).Push(c.expr).Op(A::GetMember).Op(A::TypeOf).Trace();
        EXPECT_EQ(Trace(a, c.version), c.expected) << c.function << " " << c.names << " " << c.expr;
    }
    // Each name takes two numbers: from 9, "x" has sqrt and round, "y" random (11) as getter.
    host.random = 0.25;
    Assembler r;
    CallOnNewObject(r, "ASSetNativeAccessor", 200, "x,y", 9);
    r.Push("o").Op(A::GetVariable).Push("y").Op(A::GetMember).Trace();
    EXPECT_EQ(Trace(r), "0.25");
}

TEST_F(BuiltinsTest, ArrayLengthIsSigned32Bits) {
    struct Case {
        std::vector<std::pair<std::string, double>> writes;  // a[name] = 1, or "length" = n
        const char* expected;                                // a.length
    };
    const Case cases[] = {
        {{{"3", 0}}, "4"},
        {{{"-5", 0}}, "0"},
        {{{"2147483647", 0}}, "-2147483648"},
        {{{"2147483647", 0}, {"2147483648", 0}}, "-2147483647"},
        {{{"4294967296", 0}}, "1"},
        {{{"length", -1}}, "-1"},
        {{{"length", 4294967297.0}}, "1"},
        {{{"length", 3e9}}, "-1294967296"},
        {{{"7", 0}, {"length", -1}, {"0", 0}}, "1"},
    };
    for (const Case& c : cases) {
        Assembler a;
        a.Push("a").Push(0.0).Op(A::InitArray).Op(A::SetVariable);
        for (const auto& [name, n] : c.writes) {
            a.Push("a").Op(A::GetVariable).Push(name);
            if (name == "length") {
                a.Push(n);
            } else {
                a.Push(1.0);
            }
            a.Op(A::SetMember);
        }
        a.Push("a").Op(A::GetVariable).Push("length").Op(A::GetMember).Trace();
        EXPECT_EQ(Trace(a), c.expected) << c.writes.front().first;
    }
    // new Array(n) takes the length as given; a shorter length drops the elements past it.
    Assembler n;
    n.Push(-1.0).Push(1.0).Push("Array").Op(A::NewObject).Push("length").Op(A::GetMember);
    n.Trace();
    EXPECT_EQ(Trace(n), "-1");
    Assembler cut;
    cut.Push("a");
    PushArray(cut, {"1", "2", "3"}).Op(A::SetVariable);
    cut.Push("a").Op(A::GetVariable).Push("length").Push(1.0).Op(A::SetMember);
    cut.Push("a").Op(A::GetVariable).Push("length").Push(3.0).Op(A::SetMember);
    cut.Push("a").Op(A::GetVariable).Trace();
    EXPECT_EQ(Trace(cut), "1,undefined,undefined");
}

}  // namespace
}  // namespace flash::avm1
