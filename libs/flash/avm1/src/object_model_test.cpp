// The object model of SWF 5 to 7: functions, scopes, prototypes, exceptions, enumeration,
// accessors, garbage collection and limits.
#include <gtest/gtest.h>

#include "flash/avm1/testing/assembler.h"
#include "flash/avm1/testing/fake_host.h"
#include "flash/avm1/vm.h"

namespace flash::avm1 {
namespace {

using testing::Assembler;
using testing::FakeClip;
using testing::FakeHost;
using Traces = std::vector<std::string>;
using A = ActionCode;

class ObjectModelTest : public ::testing::Test {
  protected:
    Traces Run(const Assembler& code, int version = 7) {
        host.traces.clear();
        last = vm.Run(code.Shared(), &host.root(), version);
        return host.traces;
    }

    // o.name = value, with `o` a variable.
    static Assembler& SetMember(Assembler& a, const char* object, const char* name, double value) {
        return a.Push(object).Op(A::GetVariable).Push(name).Push(value).Op(A::SetMember);
    }
    static Assembler& TraceMember(Assembler& a, const char* object, const char* name) {
        return a.Push(object).Op(A::GetVariable).Push(name).Op(A::GetMember).Trace();
    }

    FakeHost host;
    Vm vm{host};
    RunResult last = RunResult::Done;
};

TEST_F(ObjectModelTest, FunctionsTakeArgumentsAndReturn) {
    Assembler body;
    body.Push("a").Op(A::GetVariable).Push("b").Op(A::GetVariable).Op(A::Add2).Op(A::Return);
    Assembler a;
    a.Function("add", {"a", "b"}, body);
    a.Push(2.0).Push(40.0).Push(2.0).Push("add").Op(A::CallFunction).Trace();
    a.Push("x").Push(1.0).Push("add").Op(A::CallFunction).Trace();  // b missing
    a.Push(0.0).Push("missing").Op(A::CallFunction).Trace();
    EXPECT_EQ(Run(a), (Traces{"42", "xundefined", "undefined"}));
}

TEST_F(ObjectModelTest, DefineFunction2UsesRegistersAndPreloads) {
    // function f(x /* r3 */) { return this.tag + x + arguments.length }: this and arguments
    // preload into r1 and r2 in that order.
    Assembler body;
    body.PushRegister(1).Push("tag").Op(A::GetMember).PushRegister(3).Op(A::Add2);
    body.PushRegister(2).Push("length").Op(A::GetMember).Op(A::Add2).Op(A::Return);
    Assembler a;
    a.Function2("f", 4, 0x0001 | 0x0004, {{3, "x"}}, body);  // preload this, arguments
    a.Push("o").Push("tag").Push("T").Push(1.0).Op(A::InitObject).Op(A::SetVariable);
    a.Push("o").Op(A::GetVariable).Push("f").Push("f").Op(A::GetVariable).Op(A::SetMember);
    a.Push("y").Push("z").Push(2.0).Push("o").Op(A::GetVariable).Push("f").Op(A::CallMethod);
    a.Trace();
    EXPECT_EQ(Run(a), Traces{"Tz2"});
}

TEST_F(ObjectModelTest, ClosuresFromSwf6AndNotInSwf5) {
    // function outer() { var v = "inner"; return function () { return v; } }
    Assembler inner;
    inner.Push("v").Op(A::GetVariable).Op(A::Return);
    Assembler outer;
    outer.Push("v").Push("inner").Op(A::DefineLocal).Function("", {}, inner).Op(A::Return);
    Assembler a;
    a.Push("v").Push("timeline").Op(A::SetVariable);
    a.Function("outer", {}, outer);
    a.Push(0.0).Push(0.0).Push("outer").Op(A::CallFunction).Push("").Op(A::CallMethod).Trace();
    EXPECT_EQ(Run(a, 6), Traces{"inner"});
    EXPECT_EQ(Run(a, 5), Traces{"timeline"});
}

TEST_F(ObjectModelTest, ConstructorsPrototypesAndInstanceOf) {
    // function P(n) { this.n = n } P.prototype.get = function () { return this.n }
    Assembler ctor;
    ctor.Push("this").Op(A::GetVariable).Push("n").Push("n").Op(A::GetVariable).Op(A::SetMember);
    Assembler get;
    get.Push("this").Op(A::GetVariable).Push("n").Op(A::GetMember).Op(A::Return);
    Assembler a;
    a.Function("P", {"n"}, ctor);
    a.Push("P").Op(A::GetVariable).Push("prototype").Op(A::GetMember);
    a.Push("get").Function("", {}, get).Op(A::SetMember);
    a.Push("p").Push(7.0).Push(1.0).Push("P").Op(A::NewObject).Op(A::SetVariable);
    a.Push(0.0).Push("p").Op(A::GetVariable).Push("get").Op(A::CallMethod).Trace();
    a.Push("p").Op(A::GetVariable).Push("P").Op(A::GetVariable).Op(A::InstanceOf).Trace();
    a.Push("p").Op(A::GetVariable).Push("Array").Op(A::GetVariable).Op(A::InstanceOf).Trace();
    a.Push("p").Op(A::GetVariable).Push("__proto__").Op(A::GetMember);
    a.Push("P").Op(A::GetVariable).Push("prototype").Op(A::GetMember).Op(A::StrictEquals).Trace();
    a.Push("P").Op(A::GetVariable).Push("p").Op(A::GetVariable).Op(A::CastOp).Op(A::TypeOf).Trace();
    EXPECT_EQ(Run(a), (Traces{"7", "true", "false", "true", "object"}));
}

TEST_F(ObjectModelTest, ExtendsAndSuperReachTheBaseClass) {
    // Base(): trace("base"); Base.prototype.who = function () { return "base who" }
    // Sub(): super(); trace("sub"); Sub extends Base; Sub.prototype.who calls super.who()
    Assembler base;
    base.Push("base").Trace();
    Assembler baseWho;
    baseWho.Push("base who").Op(A::Return);
    Assembler sub;
    sub.Push(0.0).Push("super").Op(A::CallFunction).Op(A::Pop).Push("sub").Trace();
    Assembler subWho;
    subWho.Push(0.0).Push("super").Op(A::GetVariable).Push("who").Op(A::CallMethod);
    subWho.Push("+sub").Op(A::Add2).Op(A::Return);
    Assembler a;
    a.Function("Base", {}, base);
    a.Push("Base").Op(A::GetVariable).Push("prototype").Op(A::GetMember);
    a.Push("who").Function("", {}, baseWho).Op(A::SetMember);
    a.Function("Sub", {}, sub);
    a.Push("Sub").Op(A::GetVariable).Push("Base").Op(A::GetVariable).Op(A::Extends);
    a.Push("Sub").Op(A::GetVariable).Push("prototype").Op(A::GetMember);
    a.Push("who").Function("", {}, subWho).Op(A::SetMember);
    a.Push("s").Push(0.0).Push("Sub").Op(A::NewObject).Op(A::SetVariable);
    a.Push(0.0).Push("s").Op(A::GetVariable).Push("who").Op(A::CallMethod).Trace();
    a.Push("s").Op(A::GetVariable).Push("Base").Op(A::GetVariable).Op(A::InstanceOf).Trace();
    EXPECT_EQ(Run(a), (Traces{"base", "sub", "base who+sub", "true"}));
}

TEST_F(ObjectModelTest, TryCatchFinally) {
    Assembler thrower;
    thrower.Push("boom").Op(A::Throw);
    Assembler tryBody;
    tryBody.Push("in try")
        .Trace()
        .Push(0.0)
        .Push("thrower")
        .Op(A::CallFunction)
        .Push("not here")
        .Trace();
    Assembler catchBody;
    catchBody.Push("caught ").Push("e").Op(A::GetVariable).Op(A::Add2).Trace();
    Assembler finallyBody;
    finallyBody.Push("finally").Trace();
    Assembler a;
    a.Function("thrower", {}, thrower);
    a.Try(tryBody, &catchBody, &finallyBody, "e");
    a.Push("after").Trace();
    EXPECT_EQ(Run(a), (Traces{"in try", "caught boom", "finally", "after"}));

    // Without a catch the exception leaves after finally; Flash reports it.
    Assembler b;
    b.Function("thrower", {}, thrower);
    b.Try(tryBody, nullptr, &finallyBody, "e");
    b.Push("never").Trace();
    EXPECT_EQ(Run(b), (Traces{"in try", "finally", "Warning: Uncaught exception, boom"}));
    EXPECT_EQ(last, RunResult::Threw);

    // A return inside try still runs finally.
    Assembler retTry;
    retTry.Push("value").Op(A::Return);
    Assembler fn;
    fn.Try(retTry, nullptr, &finallyBody, "e");
    Assembler c;
    c.Function("f", {}, fn).Push(0.0).Push("f").Op(A::CallFunction).Trace();
    EXPECT_EQ(Run(c), (Traces{"finally", "value"}));
}

TEST_F(ObjectModelTest, WithPutsAnObjectInScope) {
    Assembler body;
    body.Push("k").Op(A::GetVariable).Trace().Push("k").Push("changed").Op(A::SetVariable);
    Assembler a;
    a.Push("o").Push("k").Push("own").Push(1.0).Op(A::InitObject).Op(A::SetVariable);
    a.Push("o").Op(A::GetVariable).With(body);
    TraceMember(a, "o", "k");
    a.Push("k").Op(A::GetVariable).Trace();
    EXPECT_EQ(Run(a), (Traces{"own", "changed", "undefined"}));
}

TEST_F(ObjectModelTest, EnumerationListsRecentMembersFirstAndSkipsHidden) {
    Assembler loop;
    Assembler a;
    a.Push("o").Push(0.0).Op(A::InitObject).Op(A::SetVariable);
    SetMember(a, "o", "a", 1);
    SetMember(a, "o", "b", 2);
    SetMember(a, "o", "c", 3);
    // ASSetPropFlags(o, "b", 1): b no longer enumerates
    a.Push(1.0).Push("b").Push("o").Op(A::GetVariable).Push(3.0).Push("ASSetPropFlags");
    a.Op(A::CallFunction).Op(A::Pop);
    a.Push("o").Op(A::Enumerate);
    a.Label("next").StoreRegister(0).PushNull().Op(A::Equals2).If("done");
    a.PushRegister(0).Trace().Jump("next");
    a.Label("done");
    EXPECT_EQ(Run(a), (Traces{"c", "a"}));
}

TEST_F(ObjectModelTest, AccessorsAndWatchers) {
    // o.addProperty("p", getter returning 5, setter tracing its value)
    Assembler getter;
    getter.Push(5.0).Op(A::Return);
    Assembler setter;
    setter.Push("set ").Push("v").Op(A::GetVariable).Op(A::Add2).Trace();
    Assembler watcher;  // (name, old, new) -> new * 10
    watcher.Push("nv").Op(A::GetVariable).Push(10.0).Op(A::Multiply).Op(A::Return);
    Assembler a;
    a.Push("o").Push(0.0).Op(A::InitObject).Op(A::SetVariable);
    a.Function("", {"v"}, setter).Function("", {}, getter).Push("p").Push(3.0);
    a.Push("o").Op(A::GetVariable).Push("addProperty").Op(A::CallMethod).Trace();
    TraceMember(a, "o", "p");
    SetMember(a, "o", "p", 8);
    a.Function("", {"name", "ov", "nv"}, watcher).Push("w").Push(2.0);
    a.Push("o").Op(A::GetVariable).Push("watch").Op(A::CallMethod).Op(A::Pop);
    SetMember(a, "o", "w", 4);
    TraceMember(a, "o", "w");
    EXPECT_EQ(Run(a), (Traces{"true", "5", "set 8", "40"}));
}

TEST_F(ObjectModelTest, ClipsAreObjectsWithNativeMembers) {
    FakeClip& mc = host.root().AddChild(u"mc", 12);
    mc.AddChild(u"inner");
    Assembler a;
    a.Push("mc").Op(A::GetVariable).Push("_x").Push(30.0).Op(A::SetMember);
    TraceMember(a, "mc", "_x");
    TraceMember(a, "mc", "_totalframes");
    a.Push("mc").Op(A::GetVariable).Push("inner").Op(A::GetMember).Op(A::TargetPath).Trace();
    a.Push("mc").Op(A::GetVariable).Push("inner").Op(A::GetMember).Push("_parent");
    a.Op(A::GetMember).Trace();
    a.Push("mc").Op(A::GetVariable).Op(A::TypeOf).Trace();
    a.Push(3.0).Push(1.0).Push("mc").Op(A::GetVariable).Push("gotoAndStop").Op(A::CallMethod);
    EXPECT_EQ(Run(a), (Traces{"30", "12", "_level0.mc.inner", "_level0.mc", "movieclip"}));
    EXPECT_EQ(mc.GetProperty(Property::X).AsNumber(), 30);
    EXPECT_EQ(mc.current_frame(), 2);

    // Variables survive on the script object; a removed clip stops answering natively.
    Assembler b;
    b.Push("keep").Push("mc").Op(A::GetVariable).Op(A::SetVariable);
    SetMember(b, "mc", "v", 1);
    Run(b);
    vm.ClipRemoved(mc);
    Assembler c;
    TraceMember(c, "keep", "v");
    TraceMember(c, "keep", "_x");
    EXPECT_EQ(Run(c), (Traces{"1", "undefined"}));
}

TEST_F(ObjectModelTest, GotoMethodsTakeAPathBeforeAColon) {
    // mc.gotoAndStop(spec): "path:frame" moves the timeline the path names from mc.
    struct Case {
        const char* spec;
        int rootFrame;
        int mcFrame;
    };
    const Case cases[] = {{"3", 0, 2}, {"/:4", 3, 0}, {"_parent:2", 1, 0}, {"nowhere:2", 0, 0}};
    for (const Case& t : cases) {
        FakeHost h;
        Vm machine{h};
        FakeClip& mc = h.root().AddChild(u"mc", 12);
        Assembler a;
        a.Push(t.spec).Push(1.0).Push("mc").Op(A::GetVariable).Push("gotoAndStop");
        a.Op(A::CallMethod);
        machine.Run(a.Shared(), &h.root(), 7);
        EXPECT_EQ(h.root().current_frame(), t.rootFrame) << t.spec;
        EXPECT_EQ(mc.current_frame(), t.mcFrame) << t.spec;
    }
}

TEST_F(ObjectModelTest, ScriptErrorsDoNotEscapeToTheHost) {
    // o.p is a getter that throws; the host reads it between runs.
    Assembler getter;
    getter.Push("no").Op(A::Throw);
    Assembler a;
    a.Push("o").Push(0.0).Op(A::InitObject).Op(A::SetVariable);
    a.PushNull().Function("", {}, getter).Push("p").Push(3.0);
    a.Push("o").Op(A::GetVariable).Push("addProperty").Op(A::CallMethod).Op(A::Pop);
    Run(a);
    Object* o = vm.GetVariable(u"o")->AsObject();
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(vm.Get(o, u"p", 7).IsUndefined());
    EXPECT_TRUE(vm.ToString(Value::Obj(o), 7) == u"[object Object]");
    EXPECT_FALSE(vm.GetVariable(u"o.p").has_value() && !vm.GetVariable(u"o.p")->IsUndefined());
}

TEST_F(ObjectModelTest, TimersFireAtTheHostTime) {
    Assembler tick;
    tick.Push("tick ").Push("n").Op(A::GetVariable).Op(A::Add2).Trace();
    Assembler a;
    a.Function("tick", {"n"}, tick);
    a.Push("id").Push(7.0).Push(100.0).Push("tick").Op(A::GetVariable).Push(3.0);
    a.Push("setInterval").Op(A::CallFunction).Op(A::SetVariable);
    Run(a);
    host.traces.clear();
    host.time = 50;
    vm.RunTimers();
    host.time = 100;
    vm.RunTimers();
    host.time = 200;
    vm.RunTimers();
    EXPECT_EQ(host.traces, (Traces{"tick 7", "tick 7"}));
    Run(Assembler()
            .Push("id")
            .Op(A::GetVariable)
            .Push(1.0)
            .Push("clearInterval")
            .Op(A::CallFunction));
    host.time = 1000;
    vm.RunTimers();
    EXPECT_TRUE(host.traces.empty());
}

TEST_F(ObjectModelTest, UnreachableObjectsAreCollected) {
    std::size_t before = vm.LiveObjects();
    // Build 1000 objects of which one stays referenced.
    Assembler a;
    a.Push("i").Push(0.0).Op(A::SetVariable);
    a.Label("top");
    a.Push("last").Push(0.0).Op(A::InitObject).Op(A::SetVariable);
    a.Push("i").Push("i").Op(A::GetVariable).Op(A::Increment).Op(A::SetVariable);
    a.Push("i").Op(A::GetVariable).Push(1000.0).Op(A::Less2).If("top");
    Run(a);
    Root held(vm.NewObject());
    vm.Collect();
    EXPECT_LT(vm.LiveObjects(), before + 10);
    EXPECT_EQ(Run(Assembler().Push("last").Op(A::GetVariable).Op(A::TypeOf).Trace()),
              Traces{"object"});
}

TEST_F(ObjectModelTest, LimitsStopRunawayScripts) {
    FakeHost h;
    Limits limits;
    limits.maxCallDepth = 50;
    limits.maxStringLength = 1000;
    limits.maxObjects = 5000;
    Vm small(h, limits);
    // Unbounded recursion.
    Assembler recurse;
    recurse.Push(0.0).Push("f").Op(A::CallFunction).Op(A::Return);
    Assembler a;
    a.Function("f", {}, recurse).Push(0.0).Push("f").Op(A::CallFunction);
    EXPECT_EQ(small.Run(a.Shared(), &h.root(), 7), RunResult::Aborted);
    // A string doubling forever.
    Assembler b;
    b.Push("s").Push("x").Op(A::SetVariable).Label("top");
    b.Push("s").Push("s").Op(A::GetVariable).Push("s").Op(A::GetVariable).Op(A::Add2);
    b.Op(A::SetVariable).Jump("top");
    EXPECT_EQ(small.Run(b.Shared(), &h.root(), 7), RunResult::Aborted);
    // Objects kept alive without end.
    Assembler c;
    c.Push("list").Push(0.0).Op(A::InitArray).Op(A::SetVariable).Label("top");
    c.Push(0.0).Op(A::InitObject).Push(1.0).Push("list").Op(A::GetVariable).Push("push");
    c.Op(A::CallMethod).Op(A::Pop).Jump("top");
    EXPECT_EQ(small.Run(c.Shared(), &h.root(), 7), RunResult::Aborted);
    // Many short strings kept: each is short, together they exceed the run's allowance.
    FakeHost h2;
    Limits text;
    text.maxStringUnitsPerRun = 100000;
    Vm texts(h2, text);
    Assembler d;
    d.Push("list").Push(0.0).Op(A::InitArray).Op(A::SetVariable).Label("top");
    d.Push("0123456789").Push("0123456789").Op(A::Add2).Push(1.0).Push("list");
    d.Op(A::GetVariable).Push("push").Op(A::CallMethod).Op(A::Pop).Jump("top");
    EXPECT_EQ(texts.Run(d.Shared(), &h2.root(), 7), RunResult::Aborted);
    EXPECT_EQ(h.errors.size(), 3u);
    // The interpreter still works afterwards.
    EXPECT_EQ(small.Run(Assembler().Push("ok").Trace().Shared(), &h.root(), 7), RunResult::Done);
}

}  // namespace
}  // namespace flash::avm1
