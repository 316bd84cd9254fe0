#pragma once

#include <filesystem>

namespace tovi::testing {

// The reference corpus: $TOVI_CORPUS_DIR when set, else tests/corpus of the source tree.
std::filesystem::path CorpusDir();

}  // namespace tovi::testing
