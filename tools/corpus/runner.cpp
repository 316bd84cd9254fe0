#include "runner.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

#include "compare.h"
#include "flash/player/player.h"
#include "input_replay.h"

#if defined(__unix__)
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#endif

namespace fs = std::filesystem;

namespace corpus {

namespace {

// Text when the body is printable UTF-8, otherwise its bytes in hex.
std::string BodyText(const std::vector<std::uint8_t>& body) {
    bool text = std::all_of(body.begin(), body.end(), [](std::uint8_t b) {
        return b >= 0x20 || b == '\n' || b == '\r' || b == '\t';
    });
    if (text) {
        return std::string(body.begin(), body.end());
    }
    static const char* kHex = "0123456789ABCDEF";
    std::string out = "[";
    for (std::size_t i = 0; i < body.size(); ++i) {
        out += i == 0 ? "" : ", ";
        out += kHex[body[i] >> 4];
        out += kHex[body[i] & 15];
    }
    return out + "]";
}

class TraceCollector : public flash::PlayerListener {
  public:
    explicit TraceCollector(bool logFetch) : logFetch_(logFetch) {}
    void OnTrace(const std::string& line) override {
        output += line;
        output += '\n';
    }
    void OnLoadRequest(const flash::LoadRequest& request) override {
        if (!logFetch_) {
            return;
        }
        output +=
            "Navigator::fetch:\n  URL: " + request.url + "\n  Method: " + request.method + "\n";
        if (request.method == "POST") {
            output += "  Mime-Type: " + request.contentType + "\n";
            output += "  Body: " + BodyText(request.body) + "\n";
        }
    }
    std::string output;

  private:
    bool logFetch_;
};

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path ExpectedImage(const CorpusCase& c, const std::string& name) {
    fs::path file = c.dir / (name + ".expected.png");
    if (!fs::exists(file) && name == "output" && fs::exists(c.dir / "expected.png")) {
        return c.dir / "expected.png";
    }
    return file;
}

// Compares one image of the run; returns the failure, or nothing when it matches.
std::optional<std::string> CheckImage(const CorpusCase& c, const ImageComparison& comparison,
                                      const flash::Image& actual, const RunOptions& options) {
    if (!options.imageDir.empty()) {
        fs::create_directories(options.imageDir);
        flash::WritePng(actual, options.imageDir / (comparison.name + ".actual.png"));
    }
    fs::path file = ExpectedImage(c, comparison.name);
    flash::Image expected;
    try {
        expected = flash::ReadPng(file);
    } catch (const flash::FlashError& e) {
        return "image " + comparison.name + ": " + e.what();
    }
    ImageDiff diff = CompareImages(expected, actual, comparison.checks);
    if (diff.passed) {
        return std::nullopt;
    }
    if (!diff.sizeMatches) {
        return "image " + comparison.name + ": size " + std::to_string(actual.Width()) + "x" +
               std::to_string(actual.Height()) + ", expected " + std::to_string(expected.Width()) +
               "x" + std::to_string(expected.Height());
    }
    return "image " + comparison.name + ": " + std::to_string(diff.outliers) +
           " pixels off (largest difference " + std::to_string(diff.maxDifference) + ")";
}

}  // namespace

CaseResult RunCase(const CorpusCase& c, const RunOptions& options) {
    CaseResult result;
    TraceCollector traces(c.logFetch);
    flash::Player player;
    player.SetListener(&traces);
    try {
        player.LoadMovie(0, (c.dir / "test.swf").string());
        player.SetQuality2(std::wstring(c.quality.begin(), c.quality.end()));
    } catch (const flash::FlashError& e) {
        result.summary = std::string("load failed: ") + e.what();
        return result;
    }
    if (c.viewportWidth > 0 && c.viewportHeight > 0 && c.scaleFactor > 0) {
        // The viewport is in device pixels; the screen counts pixels at the scale factor.
        player.SetScreen(static_cast<int>(std::lround(c.viewportWidth / c.scaleFactor)),
                         static_cast<int>(std::lround(c.viewportHeight / c.scaleFactor)), 72);
    }
    player.Play();
    std::vector<replay::InputEvent> events;
    if (c.hasInput) {
        try {
            events = replay::ReadInputFile((c.dir / "input.json").string());
        } catch (const replay::InputError& e) {
            result.summary = e.what();
            return result;
        }
    }
    replay::ReplayRun run(player, std::move(events), c.viewportWidth, c.viewportHeight);
    std::vector<std::string> failures;
    auto capture = [&](const ImageComparison& comparison) {
        try {
            flash::Image image(run.Width(), run.Height());
            player.Render(image);
            if (auto failure = CheckImage(c, comparison, image, options)) {
                failures.push_back(*failure);
            }
        } catch (const flash::FlashError& e) {
            failures.push_back("image " + comparison.name + ": " + e.what());
        }
    };
    for (int frame = 1; frame <= c.frames; ++frame) {
        run.NextFrame();
        for (const auto& comparison : c.images) {
            if (comparison.trigger && *comparison.trigger == frame) {
                capture(comparison);
            }
        }
    }
    for (const auto& comparison : c.images) {
        if (!comparison.trigger || *comparison.trigger > c.frames) {
            capture(comparison);
        }
    }
    result.actualOutput = traces.output;
    std::string expected = ReadText(c.dir / "output.txt");
    TextDiff diff = CompareOutput(expected, traces.output, c.approximations);
    if (!diff.equal) {
        failures.insert(failures.begin(),
                        "output line " + std::to_string(diff.firstDifference + 1) +
                            ": expected \"" + diff.expected + "\", got \"" + diff.actual + "\"");
    }
    result.passed = failures.empty();
    if (!failures.empty()) {
        result.summary = failures.front();
        for (const auto& f : failures) {
            result.details += f + "\n";
        }
    }
    return result;
}

#if defined(__unix__)

namespace {

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

// The result crosses the pipe as: passed flag, then three length-prefixed texts.
std::string Encode(const CaseResult& r) {
    std::string out = r.passed ? "1" : "0";
    for (const std::string* s : {&r.summary, &r.details, &r.actualOutput}) {
        out += std::to_string(s->size()) + ":" + *s;
    }
    return out;
}

std::optional<CaseResult> Decode(const std::string& in) {
    if (in.empty()) {
        return std::nullopt;
    }
    CaseResult r;
    r.passed = in[0] == '1';
    std::size_t pos = 1;
    for (std::string* s : {&r.summary, &r.details, &r.actualOutput}) {
        std::size_t colon = in.find(':', pos);
        if (colon == std::string::npos) {
            return std::nullopt;
        }
        std::size_t length = std::stoul(in.substr(pos, colon - pos));
        if (colon + 1 + length > in.size()) {
            return std::nullopt;
        }
        *s = in.substr(colon + 1, length);
        pos = colon + 1 + length;
    }
    return r;
}

}  // namespace

CaseResult RunCaseIsolated(const CorpusCase& c, int timeoutSeconds, const RunOptions& options) {
    int fds[2];
    if (pipe(fds) != 0) {
        return RunCase(c, options);
    }
    pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return RunCase(c, options);
    }
    if (pid == 0) {
        close(fds[0]);
        CaseResult r;
        try {
            r = RunCase(c, options);
        } catch (const std::exception& e) {
            r.summary = std::string("exception: ") + e.what();
        }
        WriteAll(fds[1], Encode(r));
        close(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    std::string data;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    bool timedOut = false;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        int ready = poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buffer[65536];
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    CaseResult result;
    if (timedOut) {
        result.summary = "timed out after " + std::to_string(timeoutSeconds) + " s";
    } else if (WIFSIGNALED(status)) {
        result.summary = std::string("crashed: ") + strsignal(WTERMSIG(status));
    } else if (auto decoded = Decode(data)) {
        result = *decoded;
    } else {
        result.summary = "the run ended without a result";
    }
    return result;
}

#else

CaseResult RunCaseIsolated(const CorpusCase& c, int, const RunOptions& options) {
    return RunCase(c, options);
}

#endif

}  // namespace corpus
