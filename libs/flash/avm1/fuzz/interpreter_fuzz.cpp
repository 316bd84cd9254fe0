// Runs arbitrary action bytes: the first byte picks the SWF version, the rest is the code.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/avm1/actions.h"
#include "flash/avm1/testing/fake_host.h"
#include "flash/avm1/vm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace flash::avm1;
    if (size < 1) {
        return 0;
    }
    int version = 3 + data[0] % 8;
    testing::FakeHost host(version);
    host.root().AddChild(u"mc").AddChild(u"inner");
    Limits limits;
    limits.instructionBudget = 200000;
    limits.maxObjects = 200000;
    limits.maxStringLength = 1 << 20;
    limits.maxArrayLength = 1 << 16;
    limits.maxStack = 10000;
    Vm vm(host, limits);
    auto code = std::make_shared<const std::vector<std::uint8_t>>(data + 1, data + size);
    // The decoder alone, at every offset a jump could reach.
    ActionProgram program(*code, version);
    for (std::size_t offset = 0; offset < code->size(); ++offset) {
        program.At(offset, code->size());
    }
    vm.Run(code, &host.root(), version);
    // Functions the code left behind run as event handlers would.
    Object* root = vm.ObjectOf(host.root());
    vm.CallMethod(root, u"onEnterFrame", {}, version);
    vm.RunTimers();
    host.time += 1000;
    vm.RunTimers();
    vm.GetVariable(u"_level0.mc.x");
    vm.Collect();
    return 0;
}
