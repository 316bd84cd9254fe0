// Runs the reference corpus through the player and reports how much of it passes.
//
//   corpus_report [--corpus DIR] --summary          counts per group, for all movies and
//                                                   apart for ActionScript 1/2 and 3, and
//                                                   the failing cases
//   corpus_report [--corpus DIR] --gate FILE        runs the cases listed in FILE; fails
//                                                   (exit 1) when one of them fails
//   corpus_report [--corpus DIR] --write-passing FILE   lists the passing cases in FILE
//   corpus_report [--corpus DIR] [--images DIR] CASE...  runs cases verbosely
//
// The corpus is --corpus, else $TOVI_CORPUS_DIR, else tests/corpus of the source tree.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "corpus_case.h"
#include "runner.h"
#include "tovi/testing/corpus_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutSeconds = 60;

struct Options {
    fs::path corpus;
    bool summary = false;
    fs::path gate;
    fs::path writePassing;
    fs::path images;
    std::vector<std::string> cases;
};

int Usage(const char* message) {
    std::fprintf(stderr,
                 "corpus_report: %s\n"
                 "usage: corpus_report [--corpus DIR] (--summary | --gate FILE | "
                 "--write-passing FILE | [--images DIR] CASE...)\n",
                 message);
    return 2;
}

std::vector<std::string> ReadList(const fs::path& file) {
    std::vector<std::string> names;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        line.erase(0, line.find_first_not_of(" \t"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (!line.empty() && line[0] != '#') {
            names.push_back(line);
        }
    }
    return names;
}

struct Counts {
    int pass = 0, fail = 0, known = 0;

    int Total() const { return pass + fail + known; }
    Counts& operator+=(const Counts& o) {
        pass += o.pass;
        fail += o.fail;
        known += o.known;
        return *this;
    }
};

// Counts of one group: all its cases, and apart its ActionScript 1/2 and 3 movies.
struct GroupCounts {
    Counts as12, as3;

    Counts All() const { return Counts(as12) += as3; }
    Counts& For(bool actionScript3) { return actionScript3 ? as3 : as12; }
    GroupCounts& operator+=(const GroupCounts& o) {
        as12 += o.as12;
        as3 += o.as3;
        return *this;
    }
};

void PrintRow(const std::string& name, const GroupCounts& g) {
    auto cells = [](const Counts& c) { std::printf(" %6d %6d %6d", c.pass, c.fail, c.known); };
    std::printf("%-14s", name.c_str());
    cells(g.All());
    std::printf("  |");
    cells(g.as12);
    std::printf("  |");
    cells(g.as3);
    std::printf("\n");
}

void PrintRate(const char* name, const Counts& c) {
    const double rate = c.Total() > 0 ? 100.0 * c.pass / c.Total() : 0.0;
    std::printf("%-17s %4d of %4d pass (%.1f%%), %d fail, %d known failures\n", name, c.pass,
                c.Total(), rate, c.fail, c.known);
}

void PrintTable(const std::map<std::string, GroupCounts>& groups) {
    std::printf("%-14s %20s  | %20s  | %20s\n", "", "all movies", "ActionScript 1/2",
                "ActionScript 3");
    std::printf("%-14s", "group");
    for (int i = 0; i < 3; ++i) {
        std::printf(" %6s %6s %6s%s", "pass", "fail", "known", i < 2 ? "  |" : "\n");
    }
    GroupCounts total;
    for (const auto& [name, g] : groups) {
        PrintRow(name, g);
        total += g;
    }
    PrintRow("total", total);
    std::printf("\n");
    PrintRate("all movies:", total.All());
    PrintRate("ActionScript 1/2:", total.as12);
    PrintRate("ActionScript 3:", total.as3);
}

int WritePassing(const fs::path& file, const std::vector<std::string>& passing) {
    std::ofstream out(file);
    out << "# Corpus cases that pass; corpus_gate keeps them passing.\n";
    for (const auto& name : passing) {
        out << name << "\n";
    }
    if (!out) {
        std::fprintf(stderr, "corpus_report: cannot write %s\n", file.string().c_str());
        return 1;
    }
    return 0;
}

int Summary(const fs::path& root, const Options& options) {
    std::map<std::string, GroupCounts> groups;
    std::vector<std::pair<std::string, std::string>> failing;
    std::vector<std::string> passing;
    for (const fs::path& dir : corpus::FindCases(root)) {
        corpus::CorpusCase c;
        try {
            c = corpus::LoadCase(root, dir);
        } catch (const std::exception& e) {
            std::string name = fs::relative(dir, root).generic_string();
            groups[name.substr(0, name.find('/'))].as12.fail++;
            failing.emplace_back(name, e.what());
            continue;
        }
        corpus::CaseResult r = corpus::RunCaseIsolated(c, kTimeoutSeconds);
        Counts& g = groups[c.group].For(c.actionScript3);
        if (r.passed) {
            g.pass++;
            passing.push_back(c.name);
        } else if (c.knownFailure) {
            g.known++;
        } else {
            g.fail++;
            failing.emplace_back(c.name, r.summary);
        }
    }
    PrintTable(groups);
    if (options.summary && !failing.empty()) {
        std::printf("\nfailing cases:\n");
        for (const auto& [name, why] : failing) {
            std::printf("  %s: %s\n", name.c_str(), why.c_str());
        }
    }
    return options.writePassing.empty() ? 0 : WritePassing(options.writePassing, passing);
}

int Gate(const fs::path& root, const fs::path& list) {
    std::vector<std::string> names = ReadList(list);
    int failed = 0;
    for (const auto& name : names) {
        corpus::CaseResult r;
        try {
            corpus::CorpusCase c = corpus::LoadCase(root, root / name);
            r = corpus::RunCaseIsolated(c, kTimeoutSeconds);
        } catch (const std::exception& e) {
            r.summary = e.what();
        }
        if (!r.passed) {
            ++failed;
            std::printf("FAIL %s: %s\n", name.c_str(), r.summary.c_str());
        }
    }
    std::printf("%zu passed, %d failed\n", names.size() - static_cast<std::size_t>(failed), failed);
    return failed == 0 ? 0 : 1;
}

int Verbose(const fs::path& root, const Options& options) {
    int failed = 0;
    for (const auto& name : options.cases) {
        corpus::CorpusCase c;
        try {
            c = corpus::LoadCase(root, root / name);
        } catch (const std::exception& e) {
            std::printf("%s: %s\n", name.c_str(), e.what());
            ++failed;
            continue;
        }
        corpus::RunOptions run;
        run.imageDir = options.images.empty() ? fs::path() : options.images / name;
        corpus::CaseResult r = corpus::RunCase(c, run);
        std::printf("== %s: %s (%d frames%s)\n", c.name.c_str(), r.passed ? "pass" : "FAIL",
                    c.frames, c.knownFailure ? ", known failure" : "");
        std::printf("%s", r.details.c_str());
        if (!r.summary.empty() && r.details.empty()) {
            std::printf("%s\n", r.summary.c_str());
        }
        std::printf("-- trace output:\n%s", r.actualOutput.c_str());
        failed += r.passed ? 0 : 1;
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](fs::path& out) {
            if (i + 1 >= argc) {
                return false;
            }
            out = argv[++i];
            return true;
        };
        if (arg == "--summary") {
            options.summary = true;
        } else if (arg == "--corpus") {
            if (!value(options.corpus)) {
                return Usage("--corpus needs a folder");
            }
        } else if (arg == "--gate") {
            if (!value(options.gate)) {
                return Usage("--gate needs a file");
            }
        } else if (arg == "--write-passing") {
            if (!value(options.writePassing)) {
                return Usage("--write-passing needs a file");
            }
        } else if (arg == "--images") {
            if (!value(options.images)) {
                return Usage("--images needs a folder");
            }
        } else if (arg.rfind("--", 0) == 0) {
            return Usage(("unknown option " + arg).c_str());
        } else {
            options.cases.push_back(arg);
        }
    }
    int modes = (options.summary || !options.writePassing.empty() ? 1 : 0) +
                (options.gate.empty() ? 0 : 1) + (options.cases.empty() ? 0 : 1);
    if (modes != 1) {
        return Usage("give one of --summary, --write-passing, --gate or cases");
    }
    fs::path root = options.corpus.empty() ? tovi::testing::CorpusDir() : options.corpus;
    if (!fs::is_directory(root)) {
        std::fprintf(stderr, "corpus_report: the reference corpus was not found in %s\n",
                     root.string().c_str());
        return 1;
    }
    if (!options.gate.empty()) {
        return Gate(root, options.gate);
    }
    if (!options.cases.empty()) {
        return Verbose(root, options);
    }
    return Summary(root, options);
}
