#pragma once

// The loads scripts start (LoadVars, XML, loadVariables), fetched through the sandboxed
// fetcher and answered on a later tick in the order they were asked for.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flash/avm1/host.h"
#include "flash/avm1/object.h"
#include "net/fetcher.h"

namespace flash {

class MovieClip;
class Runtime;

class DataLoads {
  public:
    explicit DataLoads(Runtime& runtime);
    ~DataLoads();

    // Replaces the fetcher (tests); the sandbox still applies.
    void SetBackends(std::unique_ptr<net::Fetcher> files, std::unique_ptr<net::Fetcher> http);

    // LoadVars and XML: the target's onData hears of it.
    void Load(const avm1::DataRequest& request);
    // loadVariables/loadVariablesNum: the variables land on the target clip or level.
    void LoadVariables(const avm1::UrlRequest& request);
    // Any other fetch (remoting): `done` hears of it on a later tick. `url` is as the movie
    // gave it.
    void Fetch(const std::string& url, net::FetchRequest request,
               std::function<void(const net::FetchResult&)> done);
    // Answers the loads that finished, in order; a load still under way holds back those
    // after it.
    void Dispatch();
    bool Pending() const { return !loads_.empty(); }
    void Reset();

  private:
    struct Entry {
        std::unique_ptr<net::Fetch> fetch;
        avm1::Root target;     // LoadVars or XML
        std::string clipPath;  // or the clip the variables go to
        int level = -1;        // or the level
        int version = 0;
        bool http = false;
        std::function<void(const net::FetchResult&)> done;  // or this hears of it
    };

    std::unique_ptr<net::Fetch> Start(const std::string& url, net::FetchRequest request,
                                      const std::string& base);
    void Answer(Entry& load, net::FetchResult result);
    void AnswerObject(Entry& load, const net::FetchResult& result);
    void AnswerClip(Entry& load, const net::FetchResult& result);
    bool UseCodepage(int version);
    std::string BaseUrl(avm1::Clip* source) const;
    net::Sandbox SandboxOf() const;

    Runtime& runtime_;
    net::SandboxedFetcher fetcher_;
    std::vector<Entry> loads_;
};

}  // namespace flash
