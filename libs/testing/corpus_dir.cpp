#include "tovi/testing/corpus_dir.h"

#include <cstdlib>

namespace tovi::testing {

std::filesystem::path CorpusDir() {
    if (const char* dir = std::getenv("TOVI_CORPUS_DIR"); dir != nullptr && *dir != '\0') {
        return dir;
    }
    return TOVI_CORPUS_SOURCE_DIR;
}

}  // namespace tovi::testing
