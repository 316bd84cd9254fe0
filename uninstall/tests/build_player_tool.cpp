// Builds a standalone player with whichever tovi library the loader finds, as the main program
// does: build_player <stub> <movie> <output>. Prints the library it used and the builder's
// messages; ends with 0 when the builder reports success.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "platform/messages.h"
#include "platform/text.h"
#include "tovi.h"

namespace {

class Receiver : public platform::MessageWindow {
  public:
    platform::LRESULT HandleMessage(platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        if (message == WM_MAKEEXE_NOTIFY && wParam == 1 && lParam != 0) {
            last = reinterpret_cast<const wchar_t*>(lParam);
            std::printf("message=%s\n", platform::Utf8FromWide(last).c_str());
        }
        return 0;
    }
    std::wstring last;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: build_player <stub> <movie> <output>\n");
        return 2;
    }
    Dl_info where{};
    if (::dladdr(reinterpret_cast<void*>(&MakeExeThreadProc), &where) != 0 && where.dli_fname) {
        std::printf("library=%s\n", where.dli_fname);
    }
    stu_SwfInfo info{};
    try {
        GetSwfInfo(&info, platform::WideFromUtf8(argv[2]).c_str());
    } catch (const wchar_t* text) {
        std::printf("message=%s\n", platform::Utf8FromWide(text).c_str());
        return 1;
    }
    Receiver receiver;
    // No user-interface dispatcher: the builder's messages are handled on this thread.
    MakeExeThreadProc(new stu_MakeExeParam{
        platform::WideFromUtf8(argv[1]), platform::WideFromUtf8(argv[3]),
        platform::WideFromUtf8(argv[2]), &receiver, info.nWidth, info.nHeight});
    return receiver.last.rfind(L"已成功生成独立播放器", 0) == 0 ? 0 : 1;
}
