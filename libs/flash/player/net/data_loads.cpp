#include "net/data_loads.h"

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/url_variables.h"
#include "flash/avm1/vm.h"
#include "net/text_codec.h"
#include "runtime/movie_data.h"
#include "runtime/movie_source.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

// Loads under way beyond this are refused: a script looping on load() cannot pile them up.
constexpr std::size_t kMaxPendingLoads = 256;

using avm1::Value;

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

}  // namespace

DataLoads::DataLoads(Runtime& runtime)
    : runtime_(runtime), fetcher_(net::MakeFileFetcher(), net::MakeHttpFetcher()) {}

DataLoads::~DataLoads() = default;

void DataLoads::SetBackends(std::unique_ptr<net::Fetcher> files,
                            std::unique_ptr<net::Fetcher> http) {
    fetcher_ = net::SandboxedFetcher(std::move(files), std::move(http));
}

void DataLoads::Reset() {
    loads_.clear();
}

net::Sandbox DataLoads::SandboxOf() const {
    MovieClip* root = runtime_.LevelClip(0);
    if (root != nullptr) {
        const swf::Movie& movie = root->Movie().Model();
        if (movie.hasAttributes && movie.attributes.useNetwork) {
            return net::Sandbox::LocalWithNetwork;
        }
    }
    return net::Sandbox::LocalWithFile;
}

std::string DataLoads::BaseUrl(avm1::Clip* source) const {
    if (auto* clip = dynamic_cast<MovieClip*>(source)) {
        return clip->Movie().Url();
    }
    MovieClip* root = runtime_.LevelClip(0);
    return root != nullptr ? root->Movie().Url() : std::string();
}

bool DataLoads::UseCodepage(int version) {
    if (version <= 5) {
        return true;
    }
    avm1::Vm& vm = runtime_.Vm();
    avm1::Object* system = vm.Get(vm.Global(), u"System", version).AsObject();
    return system != nullptr && avm1::ToBoolean(vm.Get(system, u"useCodepage", version), version);
}

std::unique_ptr<net::Fetch> DataLoads::Start(const std::string& url, net::FetchRequest request,
                                             const std::string& base) {
    runtime_.ReportLoad({url, request.method == net::FetchRequest::Method::Post ? "POST" : "GET",
                         request.contentType, request.body});
    request.url = ResolveMovieUrl(url, base);
    fetcher_.SetSandbox(SandboxOf());
    if (loads_.size() >= kMaxPendingLoads) {
        net::FetchResult refused;
        refused.error = "too many loads under way";
        return net::Finished(std::move(refused));
    }
    return fetcher_.Start(request);
}

void DataLoads::Load(const avm1::DataRequest& request) {
    if (request.target == nullptr) {
        return;
    }
    bool codepage = UseCodepage(request.version);
    std::string url = net::EncodeForSending(request.url, codepage);
    net::FetchRequest fetch;
    std::string body = net::EncodeForSending(request.body, codepage);
    if (request.method == avm1::UrlRequest::Method::Post) {
        fetch.method = net::FetchRequest::Method::Post;
        fetch.contentType = avm1::ToUtf8(request.contentType);
        fetch.body = Bytes(body);
    } else if (!body.empty()) {
        url += (url.find('?') == std::string::npos ? "?" : "&") + body;
    }
    for (const auto& [name, value] : request.headers) {
        fetch.headers.emplace_back(avm1::ToUtf8(name), avm1::ToUtf8(value));
    }
    Entry load;
    load.target = avm1::Root(request.target);
    load.version = request.version;
    load.http = net::IsHttpUrl(ResolveMovieUrl(url, BaseUrl(nullptr)));
    load.fetch = Start(url, std::move(fetch), BaseUrl(nullptr));
    loads_.push_back(std::move(load));
}

void DataLoads::LoadVariables(const avm1::UrlRequest& request) {
    Entry load;
    if (request.targetLevel) {
        load.level = *request.targetLevel;
    } else if (auto* clip = dynamic_cast<MovieClip*>(request.targetClip)) {
        load.clipPath = avm1::ToUtf8(runtime_.Vm().DotPath(*clip));
    } else {
        return;
    }
    int version = request.source != nullptr ? request.source->SwfVersion() : 8;
    bool codepage = UseCodepage(version);
    std::string url = net::EncodeForSending(request.url, codepage);
    net::FetchRequest fetch;
    if (request.method != avm1::UrlRequest::Method::None && request.source != nullptr) {
        // The asking timeline's variables go along: in the body, or in the query.
        avm1::Vm& vm = runtime_.Vm();
        avm1::Object* self = vm.ObjectOf(*request.source);
        avm1::Variables vars;
        self->Members().ForEach([&](const avm1::Member& m) {
            if ((m.attrs & avm1::kDontEnum) != 0 || vm.IsFunction(m.value)) {
                return;
            }
            vars.emplace_back(m.name, vm.ToString(m.value, version));
        });
        std::reverse(vars.begin(), vars.end());
        std::string form = net::EncodeForSending(avm1::EncodeVariables(vars, true), codepage);
        if (request.method == avm1::UrlRequest::Method::Post) {
            fetch.method = net::FetchRequest::Method::Post;
            fetch.contentType = "application/x-www-form-urlencoded";
            fetch.body = Bytes(form);
        } else if (!form.empty()) {
            url += (url.find('?') == std::string::npos ? "?" : "&") + form;
        }
    }
    load.version = version;
    std::string base = BaseUrl(request.source);
    load.http = net::IsHttpUrl(ResolveMovieUrl(url, base));
    load.fetch = Start(url, std::move(fetch), base);
    loads_.push_back(std::move(load));
}

void DataLoads::Fetch(const std::string& url, net::FetchRequest request,
                      std::function<void(const net::FetchResult&)> done) {
    Entry load;
    load.done = std::move(done);
    load.fetch = Start(url, std::move(request), BaseUrl(nullptr));
    loads_.push_back(std::move(load));
}

void DataLoads::Dispatch() {
    std::size_t done = 0;
    while (done < loads_.size() && loads_[done].fetch->Ready()) {
        ++done;
    }
    // Answers may start new loads: take the finished ones out first.
    std::vector<Entry> finished(std::make_move_iterator(loads_.begin()),
                                std::make_move_iterator(loads_.begin() + done));
    loads_.erase(loads_.begin(), loads_.begin() + done);
    for (Entry& load : finished) {
        Answer(load, load.fetch->Take());
    }
}

void DataLoads::Answer(Entry& load, net::FetchResult result) {
    if (!result.ok) {
        runtime_.ReportError("Error opening URL: " + result.error);
    }
    if (load.done) {
        load.done(result);
    } else if (load.target) {
        AnswerObject(load, result);
    } else {
        AnswerClip(load, result);
    }
}

void DataLoads::AnswerObject(Entry& load, const net::FetchResult& result) {
    avm1::Vm& vm = runtime_.Vm();
    avm1::Object* target = load.target.get();
    if (load.http && load.version >= 8) {
        Value status = Value::Number(result.httpStatus);
        vm.CallMethod(target, u"onHTTPStatus", std::span(&status, 1), load.version);
    }
    Value text;
    if (result.ok) {
        auto size = Value::Number(static_cast<double>(result.data.size()));
        // Scripts cannot delete them, as in Flash.
        vm.Define(target, u"_bytesLoaded", size, avm1::kDontEnum | avm1::kDontDelete);
        vm.Define(target, u"_bytesTotal", size, avm1::kDontEnum | avm1::kDontDelete);
        if (auto* p = dynamic_cast<avm1::LoadProgress*>(target)) {
            p->bytesLoaded = p->bytesTotal = static_cast<double>(result.data.size());
        }
        text = Value::Str(net::DecodeLoaded(result.data, UseCodepage(load.version)));
    }
    vm.CallMethod(target, u"onData", std::span(&text, 1), load.version);
}

void DataLoads::AnswerClip(Entry& load, const net::FetchResult& result) {
    avm1::Vm& vm = runtime_.Vm();
    MovieClip* clip =
        load.level >= 0
            ? runtime_.LevelClip(load.level)
            : dynamic_cast<MovieClip*>(vm.ResolveTarget(avm1::FromUtf8(load.clipPath), nullptr, 8));
    if (clip == nullptr || clip->Removed() || !result.ok) {
        return;
    }
    avm1::Object* self = vm.ObjectOf(*clip);
    avm1::String text = net::DecodeLoaded(result.data, UseCodepage(load.version));
    for (auto& [name, value] : avm1::DecodeVariables(text, load.version)) {
        vm.Set(self, name, Value::Str(std::move(value)), clip->SwfVersion());
    }
    runtime_.QueueClipEvent(*clip, swf::kClipData, Runtime::Lane::Frame, false);
    runtime_.QueueMethod(*clip, u"onData", Runtime::Lane::Frame, false);
}

}  // namespace flash
