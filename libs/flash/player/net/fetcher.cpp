#include "net/fetcher.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "runtime/movie_source.h"

namespace fs = std::filesystem;

namespace flash::net {

namespace {

class FinishedFetch final : public Fetch {
  public:
    explicit FinishedFetch(FetchResult result) : result_(std::move(result)) {}
    bool Ready() override { return true; }
    FetchResult Take() override { return std::move(result_); }

  private:
    FetchResult result_;
};

FetchResult Failure(std::string why) {
    FetchResult r;
    r.error = std::move(why);
    return r;
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

fs::path FindFile(const std::string& local) {
    fs::path path = fs::u8path(local);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) && local.find('\\') != std::string::npos) {
        // Names written the Windows way.
        std::string slashed = local;
        std::replace(slashed.begin(), slashed.end(), '\\', '/');
        path = fs::u8path(slashed);
    }
    return path;
}

class FileFetcher final : public Fetcher {
  public:
    explicit FileFetcher(FetchLimits limits) : limits_(limits) {}

    std::unique_ptr<Fetch> Start(const FetchRequest& request) override {
        return Finished(Read(request.url));
    }

  private:
    FetchResult Read(const std::string& url) const {
        // A query means nothing to a file: "vars.txt?x=1" reads vars.txt.
        std::string file = url.substr(0, url.find('?'));
        std::optional<std::string> local = LocalPath(file);
        if (!local || local->empty()) {
            return Failure("not a local file: " + url);
        }
        fs::path path = FindFile(*local);
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) {
            return Failure("cannot open " + url);
        }
        std::uintmax_t size = fs::file_size(path, ec);
        if (ec || size > limits_.maxBytes) {
            return Failure(ec ? "cannot read " + url : "too large: " + url);
        }
        FetchResult r;
        r.data.resize(static_cast<std::size_t>(size));
        std::ifstream in(path, std::ios::binary);
        if (!in.read(reinterpret_cast<char*>(r.data.data()), static_cast<std::streamsize>(size))) {
            return Failure("cannot read " + url);
        }
        r.ok = true;
        return r;
    }

    FetchLimits limits_;
};

}  // namespace

std::unique_ptr<Fetch> Finished(FetchResult result) {
    return std::make_unique<FinishedFetch>(std::move(result));
}

std::unique_ptr<Fetcher> MakeFileFetcher(FetchLimits limits) {
    return std::make_unique<FileFetcher>(limits);
}

bool IsHttpUrl(const std::string& url) {
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

bool Allowed(Sandbox sandbox, const std::string& url) {
    if (sandbox == Sandbox::LocalWithNetwork) {
        return IsHttpUrl(url);
    }
    return !IsHttpUrl(url) && LocalPath(url).has_value();
}

std::unique_ptr<Fetch> SandboxedFetcher::Start(const FetchRequest& request) {
    if (!Allowed(sandbox_, request.url)) {
        return Finished(
            Failure(sandbox_ == Sandbox::LocalWithFile
                        ? "a local movie without network access cannot load " + request.url
                        : "a local movie with network access cannot load " + request.url));
    }
    Fetcher* backend = IsHttpUrl(request.url) ? http_.get() : files_.get();
    return backend ? backend->Start(request) : Finished(Failure("cannot load " + request.url));
}

}  // namespace flash::net
