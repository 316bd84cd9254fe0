// A library for the loading tests.
extern "C" __attribute__((visibility("default"))) int probe_answer() {
    return 42;
}
