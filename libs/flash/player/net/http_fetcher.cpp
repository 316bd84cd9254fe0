// http and https through libcurl. Each request runs on its own detached thread and shares its
// state with the Fetch, so dropping a fetch cancels it without waiting.
#include <curl/curl.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "net/fetcher.h"

namespace flash::net {

namespace {

struct Shared {
    std::mutex mutex;
    bool done = false;
    FetchResult result;
    std::atomic<bool> cancelled{false};
    std::size_t maxBytes = 0;
    std::vector<std::uint8_t> data;
    bool tooLarge = false;
};

std::size_t OnData(char* bytes, std::size_t size, std::size_t count, void* user) {
    auto* shared = static_cast<Shared*>(user);
    std::size_t n = size * count;
    if (shared->data.size() + n > shared->maxBytes) {
        shared->tooLarge = true;
        return 0;
    }
    shared->data.insert(shared->data.end(), bytes, bytes + n);
    return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Shared*>(user)->cancelled ? 1 : 0;
}

void Perform(const FetchRequest& request, const FetchLimits& limits,
             const std::shared_ptr<Shared>& shared) {
    FetchResult r;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        r.error = "cannot start the transfer";
    } else {
        curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
        // Only http and https, also after redirects; no proxies from the environment.
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.timeout.count()));
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(limits.connectTimeout.count()));
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnData);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, shared.get());
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, shared.get());
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_slist* headers = nullptr;
        for (const auto& [name, value] : request.headers) {
            headers = curl_slist_append(headers, (name + ": " + value).c_str());
        }
        if (request.method == FetchRequest::Method::Post) {
            headers = curl_slist_append(headers, ("Content-Type: " + request.contentType).c_str());
            curl_easy_setopt(curl, CURLOPT_POST, 1L);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(request.body.size()));
        }
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        CURLcode code = curl_easy_perform(curl);
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        r.httpStatus = static_cast<int>(status);
        if (code != CURLE_OK) {
            r.error = shared->tooLarge ? "the answer is too large" : curl_easy_strerror(code);
        } else if (status >= 400) {
            r.error = "http status " + std::to_string(status);
        } else {
            r.ok = true;
        }
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
    }
    std::lock_guard lock(shared->mutex);
    if (r.ok) {
        r.data = std::move(shared->data);
    }
    shared->result = std::move(r);
    shared->done = true;
}

class HttpFetch final : public Fetch {
  public:
    explicit HttpFetch(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    ~HttpFetch() override { shared_->cancelled = true; }
    bool Ready() override {
        std::lock_guard lock(shared_->mutex);
        return shared_->done;
    }
    FetchResult Take() override {
        std::lock_guard lock(shared_->mutex);
        return std::move(shared_->result);
    }

  private:
    std::shared_ptr<Shared> shared_;
};

class HttpFetcher final : public Fetcher {
  public:
    explicit HttpFetcher(FetchLimits limits) : limits_(limits) {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    std::unique_ptr<Fetch> Start(const FetchRequest& request) override {
        if (!IsHttpUrl(request.url)) {
            FetchResult r;
            r.error = "not an http address: " + request.url;
            return Finished(std::move(r));
        }
        auto shared = std::make_shared<Shared>();
        shared->maxBytes = limits_.maxBytes;
        try {
            std::thread(Perform, request, limits_, shared).detach();
        } catch (const std::system_error&) {
            FetchResult r;
            r.error = "cannot start the transfer";
            return Finished(std::move(r));
        }
        return std::make_unique<HttpFetch>(std::move(shared));
    }

  private:
    FetchLimits limits_;
};

}  // namespace

std::unique_ptr<Fetcher> MakeHttpFetcher(FetchLimits limits) {
    return std::make_unique<HttpFetcher>(limits);
}

}  // namespace flash::net
