// Reads arbitrary bytes as a shared object's .sol file into script values: nothing may crash,
// hang or take unbounded memory.
#include <cstddef>
#include <cstdint>
#include <span>

#include "flash/avm1/testing/fake_host.h"
#include "flash/avm1/vm.h"
#include "net/shared_object_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    flash::avm1::testing::FakeHost host(8);
    flash::avm1::Limits limits;
    limits.maxObjects = 100'000;
    flash::avm1::Vm vm(host, limits);
    flash::avm1::Object* target = vm.NewObject();
    flash::net::DecodeSol(vm, std::span(data, size), target, 8);
    // Writing back what was read must work too (references, nesting).
    flash::net::EncodeSol(vm, u"fuzz", target, 8);
    return 0;
}
