// MovieClip.loadVariables: variables of a URL-encoded file into the clip, with the clip's own
// variables sent along by GET or POST.
#include "display/movie_clip.h"
#include "flash/avm1/native_member.h"
#include "flash/avm1/vm.h"
#include "script/script_classes.h"

namespace flash {

using avm1::CallContext;
using avm1::Value;

namespace {

Value LoadVariables(CallContext& c) {
    auto* clip = dynamic_cast<MovieClip*>(c.This() ? c.This()->AsClip() : nullptr);
    if (clip == nullptr || c.args.empty()) {
        return Value();
    }
    avm1::UrlRequest request;
    request.url = c.vm.ToString(c.Arg(0), c.version);
    request.loadVariables = true;
    request.loadTarget = true;
    request.source = clip;
    request.targetClip = clip;
    if (clip->ParentClip() == nullptr) {
        request.targetLevel = clip->Level();
    }
    if (!c.Arg(1).IsUndefined()) {
        avm1::String method = c.vm.ToString(c.Arg(1), c.version);
        for (char16_t& ch : method) {
            ch = ch >= u'a' && ch <= u'z' ? static_cast<char16_t>(ch - 32) : ch;
        }
        request.method = method == u"POST"  ? avm1::UrlRequest::Method::Post
                         : method == u"GET" ? avm1::UrlRequest::Method::Get
                                            : avm1::UrlRequest::Method::None;
    }
    c.vm.host().GetUrl(request);
    return Value();
}

constexpr avm1::NativeMember kPrototype[] = {
    avm1::Method(u"loadVariables", LoadVariables),
};

}  // namespace

void InstallMovieClipData(avm1::Vm& vm) {
    avm1::DefineMembers(vm, vm.MovieClipPrototype(), kPrototype);
}

}  // namespace flash
