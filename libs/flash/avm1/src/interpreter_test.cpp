// The actions of SWF 3 and 4 and the SWF 5 push types, run against the fake host.
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

class Swf4Test : public ::testing::Test {
  protected:
    Traces Run(const Assembler& code, int version = 4, Clip* target = nullptr) {
        host.traces.clear();
        vm.Run(code.Shared(), target ? target : &host.root(), version);
        return host.traces;
    }

    FakeHost host;
    Vm vm{host};
};

TEST_F(Swf4Test, ArithmeticAndComparisonResults) {
    struct Case {
        ActionCode op;
        Value a, b;
        int version;
        const char* expected;
    };
    const Case cases[] = {
        {ActionCode::Add, Value::Str(u"300"), Value::Str(u"0x96"), 6, "450"},
        {ActionCode::Add, Value::Str(u"300"), Value::Str(u"0x96"), 5, "NaN"},
        {ActionCode::Add, Value::Str(u"1"), Value::Str(u"010"), 6, "9"},
        {ActionCode::Add, Value::Str(u"1"), Value::Str(u" 010"), 6, "11"},
        {ActionCode::Add, Value::Str(u"ab"), Value::Str(u"cd"), 5, "NaN"},
        {ActionCode::Add, Value::Number(1), Value(), 6, "1"},
        {ActionCode::Add, Value::Number(1), Value(), 7, "NaN"},
        {ActionCode::Subtract, Value::Number(10), Value::Str(u"4"), 4, "6"},
        {ActionCode::Multiply, Value::Number(0.1), Value::Number(3), 4, "0.3"},
        {ActionCode::Divide, Value::Number(1), Value::Number(0), 4, "#ERROR#"},
        {ActionCode::Divide, Value::Number(1), Value::Number(0), 5, "Infinity"},
        {ActionCode::Divide, Value::Number(-1), Value::Number(0), 5, "-Infinity"},
        {ActionCode::Equals, Value::Str(u"5"), Value::Number(5), 4, "1"},
        {ActionCode::Equals, Value::Str(u"5"), Value::Number(5), 5, "true"},
        {ActionCode::Less, Value::Number(2), Value::Number(10), 4, "1"},
        {ActionCode::Less, Value::Number(10), Value::Number(2), 5, "false"},
        {ActionCode::And, Value::Number(1), Value::Str(u"0"), 4, "0"},
        {ActionCode::Or, Value::Number(0), Value::Str(u"x"), 7, "true"},
        {ActionCode::StringEquals, Value::Str(u"a"), Value::Str(u"a"), 4, "1"},
        {ActionCode::StringLess, Value::Str(u"B"), Value::Str(u"a"), 5, "true"},
        {ActionCode::StringAdd, Value::Str(u"ab"), Value::Number(1.5), 4, "ab1.5"},
    };
    for (const Case& c : cases) {
        Assembler a;
        auto push = [&a](const Value& v) {
            if (v.IsNumber()) {
                a.Push(v.AsNumber());
            } else if (v.IsString()) {
                a.Push(ToUtf8(v.AsString()));
            } else {
                a.PushUndefined();
            }
        };
        push(c.a);
        push(c.b);
        a.Op(c.op).Trace();
        EXPECT_EQ(Run(a, c.version), Traces{c.expected})
            << ActionName(static_cast<std::uint8_t>(c.op)) << " v" << c.version;
    }
}

TEST_F(Swf4Test, StringActions) {
    Assembler a;
    a.Push("hello").Op(ActionCode::StringLength).Trace();
    a.Push("hello").Push(2.0).Push(3.0).Op(ActionCode::StringExtract).Trace();
    a.Push("hello").Push(0.0).Push(-1.0).Op(ActionCode::StringExtract).Trace();
    a.Push("hello").Push(9.0).Push(2.0).Op(ActionCode::StringExtract).Trace();
    a.Push("A").Op(ActionCode::CharToAscii).Trace();
    a.Push(66.0).Op(ActionCode::AsciiToChar).Trace();
    a.Push(0x4E2D).Op(ActionCode::MBAsciiToChar).Op(ActionCode::MBCharToAscii).Trace();
    a.Push(65616.0).Op(ActionCode::AsciiToChar).Trace();  // 16 bits
    a.Push("\xF0\x9F\x98\x8B").Op(ActionCode::CharToAscii).Trace();
    a.Push("abcdefghij")
        .Push(4294967303.0)
        .Push(-4294967294.0)
        .Op(ActionCode::StringExtract)
        .Trace();
    a.Push(-2.7).Op(ActionCode::ToInteger).Trace();
    a.Push("x").Op(ActionCode::Not).Trace();
    EXPECT_EQ(Run(a, 6), (Traces{"5", "ell", "hello", "", "65", "B", "20013", "P", "65533", "gh",
                                 "-2", "true"}));
}

TEST_F(Swf4Test, PushTypesRegistersAndConstants) {
    Assembler a;
    a.ConstantPool({"zero", "one"});
    a.PushConstant(1).Trace();
    a.PushConstant(7).Trace();  // beyond the pool
    a.PushBool(true).Trace();
    a.PushNull().Trace();
    a.PushUndefined().Trace();
    a.PushInt(-5).Trace();
    a.PushFloat(0.5f).Trace();
    a.Push("v").StoreRegister(1).Op(ActionCode::Pop).PushRegister(1).Trace();
    a.PushRegister(200).Trace();
    EXPECT_EQ(Run(a, 6), (Traces{"one", "undefined", "true", "null", "undefined", "-5", "0.5", "v",
                                 "undefined"}));
}

TEST_F(Swf4Test, JumpsAndLoops) {
    // i = 0; while (i < 3) { trace(i); i = i + 1 }
    Assembler a;
    a.Push("i").Push(0.0).Op(ActionCode::SetVariable);
    a.Label("top");
    a.Push("i").Op(ActionCode::GetVariable).Push(3.0).Op(ActionCode::Less);
    a.Op(ActionCode::Not).If("done");
    a.Push("i").Op(ActionCode::GetVariable).Trace();
    a.Push("i").Push("i").Op(ActionCode::GetVariable).Push(1.0).Op(ActionCode::Add);
    a.Op(ActionCode::SetVariable).Jump("top");
    a.Label("done");
    EXPECT_EQ(Run(a, 4), (Traces{"0", "1", "2"}));
}

TEST_F(Swf4Test, BranchOutOfTheBlockEndsIt) {
    Assembler a;
    a.Push("a").Trace();
    a.Raw({0x99, 0x02, 0x00, 0x00, 0x10});  // Jump +4096
    a.Push("b").Trace();
    EXPECT_EQ(Run(a), Traces{"a"});
}

// An interrupt (the program is ending) stops a running script at its next action, long before
// its budget, and no script runs until scripts resume.
TEST_F(Swf4Test, InterruptStopsTheRunningScriptAtOnce) {
    struct InterruptingHost : FakeHost {
        void Trace(const String& text) override {
            FakeHost::Trace(text);
            InterruptScripts();
        }
    } h;
    Vm interrupted(h);
    Assembler a;
    a.Label("top").Push("tick").Trace().Jump("top");
    EXPECT_EQ(interrupted.Run(a.Shared(), &h.root(), 4), RunResult::Aborted);
    EXPECT_EQ(h.traces, Traces{"tick"});
    EXPECT_EQ(interrupted.Run(a.Shared(), &h.root(), 4), RunResult::Aborted);
    EXPECT_EQ(h.traces, Traces{"tick"});
    ResumeScripts();
    Assembler b;
    b.Push("after").Trace();
    EXPECT_EQ(interrupted.Run(b.Shared(), &h.root(), 4), RunResult::Done);
    ResumeScripts();
    EXPECT_EQ(h.traces, (Traces{"tick", "after"}));
}

TEST_F(Swf4Test, EndlessLoopStopsAtTheBudget) {
    FakeHost h;
    Vm small(h, Limits{.instructionBudget = 1000});
    Assembler a;
    a.Label("top").Jump("top");
    EXPECT_EQ(small.Run(a.Shared(), &h.root(), 4), RunResult::Aborted);
    ASSERT_EQ(h.errors.size(), 1u);
    // The next run starts with a fresh budget.
    Assembler b;
    b.Push("after").Trace();
    EXPECT_EQ(small.Run(b.Shared(), &h.root(), 4), RunResult::Done);
    EXPECT_EQ(h.traces, Traces{"after"});
}

// A host whose clock moves 1 ms at every look and who answers the slow-script question
// from a list (true stops the script); the list runs out into "stop".
class SlowScriptHost : public FakeHost {
  public:
    double ClockMs() override { return clock += 1; }
    bool StopSlowScript() override {
        ++asked;
        bool stop = answers.empty() || answers.front();
        if (!answers.empty()) {
            answers.erase(answers.begin());
        }
        return stop;
    }
    double clock = 0;
    int asked = 0;
    std::vector<bool> answers;
};

TEST_F(Swf4Test, LongScriptsStopWhenTheHostSaysSo) {
    struct Case {
        std::vector<bool> answers;
        int asked;
    };
    const Case cases[] = {{{true}, 1}, {{false, true}, 2}, {{false, false, true}, 3}};
    for (const Case& c : cases) {
        SlowScriptHost h;
        h.answers = c.answers;
        Vm slow(h, Limits{.scriptTimeoutMs = 5});
        Assembler loop;
        loop.Label("top").Jump("top");
        EXPECT_EQ(slow.Run(loop.Shared(), &h.root(), 4), RunResult::Aborted);
        EXPECT_EQ(h.asked, c.asked);
        ASSERT_EQ(h.errors.size(), 1u);
        // The next run has its own time.
        Assembler b;
        b.Push("after").Trace();
        EXPECT_EQ(slow.Run(b.Shared(), &h.root(), 4), RunResult::Done);
        EXPECT_EQ(h.traces, Traces{"after"});
    }
}

TEST_F(Swf4Test, MovieLimitsSetTheTimeAndTheCallDepth) {
    SlowScriptHost h;
    Vm slow(h);
    slow.SetScriptLimits(10, 1);
    // A loop of a few thousand actions outlives a 1 ms limit on this clock.
    Assembler loop;
    loop.Push("i").Push(0.0).Op(ActionCode::SetVariable).Label("top");
    loop.Push("i").Push("i").Op(ActionCode::GetVariable).Op(ActionCode::Increment);
    loop.Op(ActionCode::SetVariable).Push("i").Op(ActionCode::GetVariable).Push(5000.0);
    loop.Op(ActionCode::Less2).If("top");
    EXPECT_EQ(slow.Run(loop.Shared(), &h.root(), 5), RunResult::Aborted);
    EXPECT_EQ(h.asked, 1);
    // A function calling itself stops at the movie's depth, not the default 256.
    Assembler body;
    body.Push("n").Push("n").Op(ActionCode::GetVariable).Op(ActionCode::Increment);
    body.Op(ActionCode::SetVariable).Push(0.0).Push("f").Op(ActionCode::CallFunction);
    Assembler rec;
    rec.Function("f", {}, body).Push("n").Push(0.0).Op(ActionCode::SetVariable);
    rec.Push(0.0).Push("f").Op(ActionCode::CallFunction);
    h.errors.clear();
    EXPECT_EQ(slow.Run(rec.Shared(), &h.root(), 5), RunResult::Aborted);
    EXPECT_EQ(slow.GetVariable(u"n")->AsNumber(), 10);
    // A movie may not ask for more depth than the machine's stack holds.
    slow.SetScriptLimits(65535, 15000);
    EXPECT_LE(slow.limits().maxCallDepth, 2000);
}

TEST_F(Swf4Test, VariablesBySlashAndDotPaths) {
    FakeClip& a = host.root().AddChild(u"a");
    a.AddChild(u"b");
    Assembler s;
    s.Push("/a/b:v").Push("one").Op(ActionCode::SetVariable);
    s.Push("_root.a.b.w").Push("two").Op(ActionCode::SetVariable);
    s.Push("/:top").Push("three").Op(ActionCode::SetVariable);
    s.Push("_level0.a.b.v").Op(ActionCode::GetVariable).Trace();
    s.Push("/a/b:w").Op(ActionCode::GetVariable).Trace();
    s.Push("top").Op(ActionCode::GetVariable).Trace();
    s.Push("a/b:v").Op(ActionCode::GetVariable).Trace();
    s.Push("/nowhere:v").Op(ActionCode::GetVariable).Trace();
    EXPECT_EQ(Run(s, 6), (Traces{"one", "two", "three", "one", "undefined"}));
    // Relative to a nested timeline: ../ and _parent.
    Assembler t;
    t.Push("../:top").Op(ActionCode::GetVariable).Trace();
    t.Push("_parent.top").Op(ActionCode::GetVariable).Trace();
    t.Push("b:v").Op(ActionCode::GetVariable).Trace();
    EXPECT_EQ(Run(t, 6, &a), (Traces{"three", "three", "one"}));
    EXPECT_EQ(ToUtf8(vm.GetVariable(u"_level0.a.b.w").value().AsString()), "two");
    EXPECT_TRUE(vm.SetVariable(u"_level0.strPath", Value::Str(u"c:\\x.flv")));
    EXPECT_EQ(Run(Assembler().Push("strPath").Op(ActionCode::GetVariable).Trace(), 6),
              Traces{"c:\\x.flv"});
}

TEST_F(Swf4Test, VariableNamesFoldCaseBeforeSwf7) {
    Assembler a;
    a.Push("Name").Push("x").Op(ActionCode::SetVariable);
    a.Push("NAME").Op(ActionCode::GetVariable).Trace();
    EXPECT_EQ(Run(a, 6), Traces{"x"});
    EXPECT_EQ(Run(Assembler().Push("NAME").Op(ActionCode::GetVariable).Trace(), 7),
              Traces{"undefined"});
}

TEST_F(Swf4Test, TimelineActionsFollowSetTarget) {
    FakeClip& mc = host.root().AddChild(u"mc", 20);
    mc.AddLabel(u"end", 15);
    Assembler a;
    a.SetTarget("mc").GotoFrame(4).Op(ActionCode::Play).SetTarget("");
    a.Op(ActionCode::Stop);
    EXPECT_TRUE(Run(a).empty());
    EXPECT_EQ(mc.current_frame(), 4);
    EXPECT_TRUE(mc.playing());
    EXPECT_FALSE(host.root().playing());

    Assembler b;
    b.SetTarget("/mc").GoToLabel("END").Op(ActionCode::NextFrame);
    Run(b);
    EXPECT_EQ(mc.current_frame(), 16);
    EXPECT_FALSE(mc.playing());

    Assembler c;
    c.Push("/mc:3").GotoFrame2(true);
    c.Push("mc").Op(ActionCode::SetTarget2).Push("end").GotoFrame2(false);
    Run(c);
    EXPECT_EQ(mc.current_frame(), 15);

    // A missing target makes timeline actions do nothing.
    Assembler d;
    d.SetTarget("missing").Op(ActionCode::Play).GotoFrame(1);
    host.root().Stop();
    Run(d);
    EXPECT_FALSE(host.root().playing());
}

TEST_F(Swf4Test, TargetsPreferChildrenAndFallBackToTheRoot) {
    FakeClip& a = host.root().AddChild(u"a");
    a.AddChild(u"b");
    Assembler s;
    s.Push("a").Push("a variable").Op(ActionCode::SetVariable);  // shadows the child by name
    s.Push("a.b").Push(13.0).Op(ActionCode::GetProperty).Trace();
    s.SetTarget("a/b").Push("").Push(11.0).Op(ActionCode::GetProperty).Trace();
    s.SetTarget("nowhere").Push("").Push(11.0).Op(ActionCode::GetProperty).Trace();
    s.SetTarget("");
    EXPECT_EQ(Run(s, 6), (Traces{"b", "/a/b", "/"}));
    // From SWF 7 a missing target has no properties of its own.
    EXPECT_EQ(Run(Assembler()
                      .SetTarget("nowhere")
                      .Push("")
                      .Push(11.0)
                      .Op(ActionCode::GetProperty)
                      .Trace(),
                  7),
              Traces{"undefined"});
}

TEST_F(Swf4Test, PropertiesByIndex) {
    FakeClip& mc = host.root().AddChild(u"mc", 7);
    Assembler a;
    a.Push("mc").Push(0.0).Push(12.5).Op(ActionCode::SetProperty);
    a.Push("mc").Push(0.0).Op(ActionCode::GetProperty).Trace();
    a.Push("mc").Push(5.0).Op(ActionCode::GetProperty).Trace();   // _totalframes
    a.Push("mc").Push(11.0).Op(ActionCode::GetProperty).Trace();  // _target
    a.Push("").Push(11.0).Op(ActionCode::GetProperty).Trace();
    a.Push("mc").Push(13.0).Push("renamed").Op(ActionCode::SetProperty);
    a.Push("renamed").Push(13.0).Op(ActionCode::GetProperty).Trace();
    a.Push("renamed").Push(99.0).Op(ActionCode::GetProperty).Trace();
    EXPECT_EQ(Run(a), (Traces{"12.5", "7", "/mc", "/", "renamed", "undefined"}));
    EXPECT_EQ(mc.GetProperty(Property::X).AsNumber(), 12.5);
}

TEST_F(Swf4Test, GetUrlVariants) {
    Assembler a;
    a.GetUrl("http://example.com/", "_blank");
    a.GetUrl("next.swf", "_level2");
    a.Push("FSCommand:quit").Push("").GetUrl2(0);
    a.Push("vars.txt").Push("mc").GetUrl2(0xC1);
    host.root().AddChild(u"mc");
    Run(a);
    ASSERT_EQ(host.requests.size(), 4u);
    EXPECT_EQ(ToUtf8(host.requests[0].target), "_blank");
    EXPECT_EQ(host.requests[1].targetLevel, 2);
    EXPECT_EQ(ToUtf8(host.requests[2].url), "FSCommand:quit");
    const UrlRequest& r = host.requests[3];
    EXPECT_TRUE(r.loadVariables);
    EXPECT_TRUE(r.loadTarget);
    EXPECT_EQ(r.method, UrlRequest::Method::Get);
    ASSERT_NE(r.targetClip, nullptr);
    EXPECT_EQ(ToUtf8(r.targetClip->Name()), "mc");
}

TEST_F(Swf4Test, HostOperations) {
    host.time = 1234.9;
    host.random = 0.75;
    host.root().AddChild(u"mc");
    Assembler a;
    a.Op(ActionCode::GetTime).Trace();
    a.Push(10.0).Op(ActionCode::RandomNumber).Trace();
    a.Push("mc").Push("copy").Push(16385.0).Op(ActionCode::CloneSprite);
    a.Push("mc").Op(ActionCode::RemoveSprite);
    a.Push(1.0).Push(2.0).Push(3.0).Push(4.0).Push(1.0).Push(0.0).Push("mc");
    a.Op(ActionCode::StartDrag).Op(ActionCode::EndDrag);
    a.Op(ActionCode::ToggleQuality).Op(ActionCode::StopSounds);
    EXPECT_EQ(Run(a), (Traces{"1234", "7"}));
    EXPECT_EQ(host.events, (Traces{"clone mc copy 16385", "remove mc", "startDrag mc 1,2,3,4",
                                   "stopDrag", "toggleQuality", "stopSounds"}));
}

TEST_F(Swf4Test, WaitForFrameSkipsWhenNotLoaded) {
    Assembler a;
    a.WaitForFrame(50, 2).Push("50").Trace();
    a.WaitForFrame(2, 2).Push("2").Trace();
    a.WaitForFrame(16001, 2).Push("16001").Trace();
    a.Push(100.0).WaitForFrame2(2).Push("100 (1-based)").Trace();
    a.Push(1.0).WaitForFrame2(2).Push("1 (1-based)").Trace();
    // A movie still loading: only what arrived counts.
    host.root().SetFramesLoaded(3);
    EXPECT_EQ(Run(a), (Traces{"2", "1 (1-based)"}));
    // Once all is there, any frame a movie may have counts, even beyond its end.
    host.root().SetFramesLoaded(-1);
    EXPECT_EQ(Run(a), (Traces{"50", "2", "100 (1-based)", "1 (1-based)"}));
}

TEST_F(Swf4Test, CallRunsAFrameScriptOfTheTarget) {
    FakeClip& mc = host.root().AddChild(u"mc");
    mc.AddLabel(u"fn", 3);
    mc.SetFrameScript(3, Assembler()
                             .Push("in frame")
                             .Trace()
                             .Push("x")
                             .Push("set")
                             .Op(ActionCode::SetVariable)
                             .Shared());
    Assembler a;
    a.Push("/mc:fn").Op(ActionCode::Call);
    a.Push("/mc:x").Op(ActionCode::GetVariable).Trace();
    EXPECT_EQ(Run(a), (Traces{"in frame", "set"}));
}

TEST_F(Swf4Test, MalformedRecordsNeverCrash) {
    const std::vector<std::vector<std::uint8_t>> cases = {
        {0x96, 0x02, 0x00, 0x00, 'a'},   // unterminated string
        {0x96, 0x01, 0x00, 0x06},        // truncated double
        {0x96, 0x02, 0x00, 0x08, 0x05},  // constant without a pool
        {0x88, 0x05, 0x00, 0xFF, 0xFF, 'a', 0x00, 'b'},
        {0x9B, 0x03, 0x00, 'f', 0x00, 0x01},
        {0x8E, 0x10, 0x00, 0x00},
        {0x26, 0x17, 0x4E, 0x52, 0x3D, 0x40, 0x42, 0x43},  // empty stack
        {0x8F, 0x01, 0x00, 0x07},
    };
    for (const auto& bytes : cases) {
        EXPECT_NE(vm.Run(bytes, &host.root(), 7), RunResult::Threw);
    }
}

}  // namespace
}  // namespace flash::avm1
