// Gives the linked stub its bare-stub fingerprint, or checks that it has it.
//
//   toviplayer_stamp <program>          appends the tail block (once)
//   toviplayer_stamp --check <program>  exit 0 when the fingerprint sits where the player
//                                       looks for it
//
// The tail block is the fingerprint followed by zero bytes, kFingerprintDistance bytes in all,
// so the fingerprint lies that far before the end and the file's last bytes never look like a
// standalone trailer.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "extract.h"

namespace {

std::vector<char> TailBlock() {
    std::vector<char> tail(standalone::kFingerprintDistance, 0);
    std::copy(standalone::kBareStubFingerprint.begin(), standalone::kBareStubFingerprint.end(),
              tail.begin());
    return tail;
}

bool ReadAll(const char* path, std::vector<char>* bytes) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        return false;
    }
    bytes->clear();
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes->insert(bytes->end(), chunk, chunk + n);
    }
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool HasFingerprint(const std::vector<char>& bytes) {
    if (bytes.size() < standalone::kFingerprintDistance) {
        return false;
    }
    const char* at = bytes.data() + bytes.size() - standalone::kFingerprintDistance;
    return std::memcmp(at, standalone::kBareStubFingerprint.data(),
                       standalone::kBareStubFingerprint.size()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (!(argc == 2 || check)) {
        std::fprintf(stderr, "usage: %s [--check] <program>\n", argv[0]);
        return 2;
    }
    const char* path = argv[argc - 1];
    std::vector<char> bytes;
    if (!ReadAll(path, &bytes)) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], path);
        return 1;
    }
    if (check) {
        if (!HasFingerprint(bytes)) {
            std::fprintf(stderr, "%s: no bare-stub fingerprint in %s\n", argv[0], path);
            return 1;
        }
        return 0;
    }
    const std::vector<char> tail = TailBlock();
    if (bytes.size() >= tail.size() &&
        std::equal(tail.begin(), tail.end(), bytes.end() - tail.size())) {
        return 0;  // already stamped
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path);
        return 1;
    }
    return 0;
}
