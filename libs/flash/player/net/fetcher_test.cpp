// The fetchers, the sandbox rules and the text codec of loaded data.
#include "net/fetcher.h"

#include <gtest/gtest.h>

#include <fstream>

#include "loopback_server.h"
#include "net/text_codec.h"
#include "tovi/testing/files.h"

namespace flash::net {
namespace {

using testmovies::LoopbackServer;

FetchResult Wait(std::unique_ptr<Fetch> fetch) {
    for (int i = 0; i < 400 && !fetch->Ready(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(fetch->Ready());
    return fetch->Ready() ? fetch->Take() : FetchResult{};
}

FetchRequest Get(const std::string& url) {
    FetchRequest r;
    r.url = url;
    return r;
}

FetchLimits MaxBytes(std::size_t n) {
    FetchLimits l;
    l.maxBytes = n;
    return l;
}

std::string Text(const FetchResult& r) {
    return std::string(r.data.begin(), r.data.end());
}

TEST(SandboxTest, LocalMoviesReachFilesOrTheNetworkNeverBoth) {
    struct Case {
        Sandbox sandbox;
        const char* url;
        bool allowed;
    };
    const Case cases[] = {
        {Sandbox::LocalWithFile, "/tmp/vars.txt", true},
        {Sandbox::LocalWithFile, "file:///tmp/vars.txt", true},
        {Sandbox::LocalWithFile, "http://127.0.0.1/vars.txt", false},
        {Sandbox::LocalWithFile, "HTTPS://example.com/", false},
        {Sandbox::LocalWithFile, "ftp://example.com/x", false},
        {Sandbox::LocalWithNetwork, "http://127.0.0.1/vars.txt", true},
        {Sandbox::LocalWithNetwork, "https://example.com/", true},
        {Sandbox::LocalWithNetwork, "/tmp/vars.txt", false},
        {Sandbox::LocalWithNetwork, "file:///tmp/vars.txt", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Allowed(c.sandbox, c.url), c.allowed) << c.url;
    }
}

TEST(FileFetcherTest, ReadsWholeFilesWithinTheLimit) {
    tovi::testing::TempDir dir;
    std::ofstream(dir / "a.txt") << "a=1&b=2";
    std::ofstream(dir / "big.txt") << std::string(100, 'x');
    auto files = MakeFileFetcher(MaxBytes(50));
    FetchResult ok = Wait(files->Start(Get((dir / "a.txt").string() + "?ignored=1")));
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(Text(ok), "a=1&b=2");
    for (const std::string& bad : {(dir / "big.txt").string(), (dir / "none.txt").string(),
                                   dir.path().string(), std::string("http://127.0.0.1/")}) {
        FetchResult r = Wait(files->Start(Get(bad)));
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_TRUE(r.data.empty()) << bad;
    }
}

TEST(HttpFetcherTest, GetsAndPostsOnlyOverHttp) {
    LoopbackServer server(LoopbackServer::Response(200, "answer=yes"));
    auto http = MakeHttpFetcher();
    FetchRequest post = Get(server.Url("/form"));
    post.method = FetchRequest::Method::Post;
    post.contentType = "application/x-www-form-urlencoded";
    post.body = {'q', '=', '1'};
    FetchResult r = Wait(http->Start(post));
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.httpStatus, 200);
    EXPECT_EQ(Text(r), "answer=yes");
    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string request = server.Requests()[0];
    EXPECT_EQ(request.rfind("POST /form HTTP/1.1", 0), 0u) << request;
    EXPECT_NE(request.find("Content-Type: application/x-www-form-urlencoded"), std::string::npos);
    EXPECT_EQ(request.substr(request.size() - 3), "q=1");

    EXPECT_FALSE(Wait(http->Start(Get("file:///etc/passwd"))).ok);
}

TEST(HttpFetcherTest, ErrorStatusesAndOversizeAnswersFail) {
    LoopbackServer missing(LoopbackServer::Response(404, "gone"));
    FetchResult r = Wait(MakeHttpFetcher()->Start(Get(missing.Url())));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.httpStatus, 404);

    LoopbackServer big(LoopbackServer::Response(200, std::string(1000, 'x')));
    r = Wait(MakeHttpFetcher(MaxBytes(100))->Start(Get(big.Url())));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.data.empty());
}

TEST(SandboxedFetcherTest, RefusesWithoutConnecting) {
    LoopbackServer server(LoopbackServer::Response(200, "x=1"));
    SandboxedFetcher fetcher(MakeFileFetcher(), MakeHttpFetcher());
    EXPECT_FALSE(Wait(fetcher.Start(Get(server.Url()))).ok);
    fetcher.SetSandbox(Sandbox::LocalWithNetwork);
    EXPECT_TRUE(Wait(fetcher.Start(Get(server.Url()))).ok);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(TextCodecTest, CodepageFollowsTheLocale) {
    const std::pair<const char*, const char*> cases[] = {
        {"zh_CN.UTF-8", "GBK"},   {"zh_SG", "GBK"},      {"zh_TW.Big5", "BIG5"},
        {"ja_JP.UTF-8", "CP932"}, {"C.UTF-8", "CP1252"}, {"de_DE@euro", "CP1252"},
    };
    for (const auto& [locale, codepage] : cases) {
        EXPECT_EQ(CodepageForLocale(locale), codepage) << locale;
    }
}

TEST(TextCodecTest, DecodesByMarkThenByRule) {
    struct Case {
        std::string bytes;
        bool codepage;
        std::u16string text;
    };
    const Case cases[] = {
        {"a\xC3\xA9", false, u"a\u00E9"},
        {"\xEF\xBB\xBF\xC3\xA9", true, u"\u00E9"},  // the mark wins over the code page
        {std::string("\xFF\xFE"
                     "A\0\x34\x72",
                     6),
         true, u"A\u7234"},
        {"\xFE\xFF\x72\x34", false, u"\u7234"},
        {"\x80\x95\xC4", true, u"\u20AC\u2022\u00C4"},  // Windows-1252 here
        {"\xC3", false, u"\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeLoaded(c.bytes, c.codepage), c.text) << c.bytes;
    }
}

TEST(TextCodecTest, GbkRoundTrips) {
    const std::string gbk = "\xD6\xD0\xCE\xC4";  // 中文
    EXPECT_EQ(DecodeCodepage(gbk, "GBK"), u"\u4E2D\u6587");
    EXPECT_EQ(EncodeCodepage(u"\u4E2D\u6587", "GBK"), gbk);
    EXPECT_EQ(DecodeCodepage("\xD6", "GBK"), u"\uFFFD");
}

}  // namespace
}  // namespace flash::net
