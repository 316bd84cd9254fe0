#pragma once

// Fetching what scripts load (variables, XML, remoting answers): a small interface with a
// backend for local files and one for http and https, and the rules of which a movie may use.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace flash::net {

struct FetchRequest {
    enum class Method : std::uint8_t { Get, Post };
    std::string url;  // absolute: a local path, a file: URL, or http(s)
    Method method = Method::Get;
    std::string contentType;  // of the body
    std::vector<std::uint8_t> body;
    std::vector<std::pair<std::string, std::string>> headers;
};

struct FetchResult {
    bool ok = false;
    int httpStatus = 0;  // 0 for local files and failures before an answer
    std::vector<std::uint8_t> data;
    std::string error;  // why it failed
};

// A fetch under way. Ready() never blocks; Take() is called once, after Ready().
class Fetch {
  public:
    virtual ~Fetch() = default;
    virtual bool Ready() = 0;
    virtual FetchResult Take() = 0;
};

struct FetchLimits {
    std::size_t maxBytes = 64u << 20;
    std::chrono::milliseconds timeout{15000};
    std::chrono::milliseconds connectTimeout{5000};
};

class Fetcher {
  public:
    virtual ~Fetcher() = default;
    virtual std::unique_ptr<Fetch> Start(const FetchRequest& request) = 0;
};

// A fetch whose result is known at once (local files, refusals).
std::unique_ptr<Fetch> Finished(FetchResult result);

// Reads local files, whole, up to the size limit. Never touches the network.
std::unique_ptr<Fetcher> MakeFileFetcher(FetchLimits limits = {});
// http and https through libcurl on a worker thread per request, bounded in time and size.
// Refuses every other scheme.
std::unique_ptr<Fetcher> MakeHttpFetcher(FetchLimits limits = {});

// Where a local movie may load from: without the network flag of its FileAttributes, local
// files only; with it, http and https only.
enum class Sandbox : std::uint8_t { LocalWithFile, LocalWithNetwork };

bool IsHttpUrl(const std::string& url);
// Whether `url` (resolved) may be fetched by a movie in `sandbox`.
bool Allowed(Sandbox sandbox, const std::string& url);

// Picks the backend by the sandbox; refusals come back as failed fetches.
class SandboxedFetcher final : public Fetcher {
  public:
    SandboxedFetcher(std::unique_ptr<Fetcher> files, std::unique_ptr<Fetcher> http)
        : files_(std::move(files)), http_(std::move(http)) {}
    void SetSandbox(Sandbox sandbox) { sandbox_ = sandbox; }
    Sandbox GetSandbox() const { return sandbox_; }
    std::unique_ptr<Fetch> Start(const FetchRequest& request) override;

  private:
    std::unique_ptr<Fetcher> files_;
    std::unique_ptr<Fetcher> http_;
    Sandbox sandbox_ = Sandbox::LocalWithFile;
};

}  // namespace flash::net
