// Actions per second on loop-heavy scripts. Prints its figures; asserts nothing.
#include <chrono>
#include <cstdio>
#include <string>

#include "flash/avm1/testing/assembler.h"
#include "flash/avm1/testing/fake_host.h"
#include "flash/avm1/vm.h"

namespace {

using namespace flash::avm1;
using testing::Assembler;
using A = ActionCode;

constexpr double kIterations = 200000;

// i = 0; sum = 0; while (i < N) { sum = sum + i * 2; i = i + 1 } on timeline variables.
Assembler TimelineLoop() {
    Assembler a;
    a.Push("i").Push(0.0).Op(A::SetVariable).Push("sum").Push(0.0).Op(A::SetVariable);
    a.Label("top");
    a.Push("sum").Push("sum").Op(A::GetVariable).Push("i").Op(A::GetVariable).Push(2.0);
    a.Op(A::Multiply).Op(A::Add2).Op(A::SetVariable);
    a.Push("i").Push("i").Op(A::GetVariable).Op(A::Increment).Op(A::SetVariable);
    a.Push("i").Op(A::GetVariable).Push(kIterations).Op(A::Less2).If("top");
    return a;
}

// The same loop in a DefineFunction2 body on registers.
Assembler RegisterLoop() {
    Assembler body;
    body.Push(0.0).StoreRegister(1).Op(A::Pop).Push(0.0).StoreRegister(2).Op(A::Pop);
    body.Label("top");
    body.PushRegister(2).PushRegister(1).Push(2.0).Op(A::Multiply).Op(A::Add2);
    body.StoreRegister(2).Op(A::Pop);
    body.PushRegister(1).Op(A::Increment).StoreRegister(1).Op(A::Pop);
    body.PushRegister(1).Push(kIterations).Op(A::Less2).If("top");
    body.PushRegister(2).Op(A::Return);
    Assembler a;
    a.Function2("f", 3, 0x2A, {}, body);
    a.Push(0.0).Push("f").Op(A::CallFunction).Op(A::Pop);
    return a;
}

// Method calls and member access: o.add(i) on an object, array pushes, string building.
Assembler ObjectLoop() {
    Assembler add;
    add.Push("this").Op(A::GetVariable).Push("n").Push("this").Op(A::GetVariable).Push("n");
    add.Op(A::GetMember).Push("v").Op(A::GetVariable).Op(A::Add2).Op(A::SetMember);
    Assembler a;
    a.Push("o").Push("n").Push(0.0).Push(1.0).Op(A::InitObject).Op(A::SetVariable);
    a.Push("o").Op(A::GetVariable).Push("add").Function("", {"v"}, add).Op(A::SetMember);
    a.Push("list").Push(0.0).Op(A::InitArray).Op(A::SetVariable);
    a.Push("i").Push(0.0).Op(A::SetVariable);
    a.Label("top");
    a.Push("i").Op(A::GetVariable).Push(1.0).Push("o").Op(A::GetVariable).Push("add");
    a.Op(A::CallMethod).Op(A::Pop);
    a.Push("i").Op(A::GetVariable).Push(1.0).Push("list").Op(A::GetVariable).Push("push");
    a.Op(A::CallMethod).Op(A::Pop);
    a.Push("i").Push("i").Op(A::GetVariable).Op(A::Increment).Op(A::SetVariable);
    a.Push("i").Op(A::GetVariable).Push(kIterations / 4).Op(A::Less2).If("top");
    return a;
}

void Measure(const char* name, const Assembler& code, int version) {
    testing::FakeHost host(version);
    Limits limits;
    limits.instructionBudget = 1'000'000'000;
    limits.maxObjects = 10'000'000;
    Vm vm(host, limits);
    ActionBytes bytes = code.Shared();
    auto start = std::chrono::steady_clock::now();
    RunResult r = vm.Run(bytes, &host.root(), version);
    auto end = std::chrono::steady_clock::now();
    double seconds = std::chrono::duration<double>(end - start).count();
    double actions = static_cast<double>(vm.ActionsExecuted());
    std::printf("%-34s %10.0f actions in %7.3f s  %8.2f M actions/s%s\n", name, actions, seconds,
                actions / seconds / 1e6, r == RunResult::Done ? "" : "  (did not finish)");
}

}  // namespace

int main() {
    Measure("timeline variables (SWF 6)", TimelineLoop(), 6);
    Measure("timeline variables (SWF 7)", TimelineLoop(), 7);
    Measure("registers in DefineFunction2", RegisterLoop(), 7);
    Measure("method calls and Array.push", ObjectLoop(), 7);
    return 0;
}
