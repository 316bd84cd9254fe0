#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "Tovilib.h"
#include "file_factory.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "platform/messages.h"
#include "standalone_trailer.h"
#include "tovi.h"

std::int32_t g_blIsMaking = 0;

namespace {

constexpr platform::UINT kBlock = 1024;
constexpr int kProgressStart = 5;
constexpr int kProgressSpan = 90;

void SetMaking(std::int32_t value) {
    std::atomic_ref<std::int32_t>(g_blIsMaking).store(value);
}

// Sends one WM_MAKEEXE_NOTIFY to the window's handle as it is now, and waits for it.
void Notify(const stu_MakeExeParam& p, platform::WPARAM wParam, platform::LPARAM lParam) {
    platform::WindowHandle handle = p.pNotifyWnd ? p.pNotifyWnd->GetSafeHwnd() : nullptr;
    platform::SendWindowMessage(handle, WM_MAKEEXE_NOTIFY, wParam, lParam);
}

void NotifyText(const stu_MakeExeParam& p, platform::WPARAM wParam, const wchar_t* text) {
    Notify(p, wParam, reinterpret_cast<platform::LPARAM>(text));
}

// A failure stops the build with the system's error code.
struct BuildFailure {
    platform::DWORD code;
};

class Builder {
  public:
    explicit Builder(const stu_MakeExeParam& p) : p_(p) {}

    // Runs steps 5 to 12; throws BuildFailure.
    void Run() {
        NotifyText(p_, 5, L"打开文件...");
        stub_ = Open(p_.strStubPath, platform::File::modeRead | platform::File::typeBinary);
        swf_ = Open(p_.strSwfPath, platform::File::modeRead);
        // Creating the output empties it: never when it is the stub or the movie itself.
        if (platform::IsSameFile(p_.strExePath.wc_str(), p_.strStubPath.wc_str()) ||
            platform::IsSameFile(p_.strExePath.wc_str(), p_.strSwfPath.wc_str())) {
            throw BuildFailure{platform::kErrorSharingViolation};
        }
        out_ = Open(p_.strExePath, platform::File::modeCreate | platform::File::modeWrite |
                                       platform::File::typeBinary);
        outputCreated_ = true;
        NotifyText(p_, 5, L"正在改写文件...");
        try {
            Copy();
        } catch (const platform::FileException& e) {
            throw BuildFailure{e.m_lOsError ? e.m_lOsError : platform::kErrorGenFailure};
        }
        NotifyText(p_, 100, L"已完成改写...");
        try {
            out_->Close();
        } catch (const platform::FileException& e) {
            throw BuildFailure{e.m_lOsError ? e.m_lOsError : platform::kErrorGenFailure};
        }
        swf_->Abort();
        stub_->Abort();
        platform::MakeExecutableLike(p_.strExePath.wc_str(), p_.strStubPath.wc_str());
    }

    // After a failure: closes what is open and removes a partial output.
    void Abandon() {
        for (auto* f : {&out_, &swf_, &stub_}) {
            if (*f) {
                (*f)->Abort();
            }
        }
        if (outputCreated_) {
            platform::RemoveFile(p_.strExePath.wc_str());
        }
    }

  private:
    std::unique_ptr<platform::File> Open(const wxString& name, platform::UINT flags) {
        std::unique_ptr<platform::File> file = tovi::MakeFile();
        if (!file->Open(name.wc_str(), flags)) {
            throw BuildFailure{platform::GetLastError()};
        }
        return file;
    }

    void Copy() {
        const std::uint64_t stubLength = stub_->GetLength();
        const std::uint64_t swfLength = swf_->GetLength();
        total_ = stubLength + swfLength;
        copied_ = 0;
        std::vector<std::uint8_t> buffer(kBlock);
        CopyAll(*stub_, stubLength, buffer.data());
        CopyAll(*swf_, swfLength, buffer.data());
        const auto trailer = standalone_trailer::Encode(p_.nWidth, p_.nHeight, stubLength);
        out_->Write(trailer.data(), 2);
        out_->Write(trailer.data() + 2, 2);
        out_->Write(trailer.data() + 4, 2);
        out_->Write(trailer.data() + 6, 4);
    }

    void CopyAll(platform::File& source, std::uint64_t length, std::uint8_t* buffer) {
        for (std::uint64_t blocks = length / kBlock; blocks > 0; --blocks) {
            CopyPiece(source, kBlock, buffer);
        }
        if (const auto tail = static_cast<platform::UINT>(length % kBlock); tail != 0) {
            CopyPiece(source, tail, buffer);
        }
    }

    void CopyPiece(platform::File& source, platform::UINT count, std::uint8_t* buffer) {
        // A source that shrank while being copied must not pad the player with stale bytes.
        if (source.Read(buffer, count) != count) {
            throw platform::FileException(platform::FileException::endOfFile,
                                          platform::kErrorHandleEof, source.GetFilePath());
        }
        out_->Write(buffer, count);
        copied_ += count;
        const auto percent = static_cast<platform::WPARAM>(
            kProgressStart +
            kProgressSpan * static_cast<double>(copied_) / static_cast<double>(total_));
        Notify(p_, percent, 0);
    }

    const stu_MakeExeParam& p_;
    std::unique_ptr<platform::File> stub_;
    std::unique_ptr<platform::File> swf_;
    std::unique_ptr<platform::File> out_;
    bool outputCreated_ = false;
    std::uint64_t total_ = 0;
    std::uint64_t copied_ = 0;
};

}  // namespace

std::uint32_t MakeExeThreadProc(void* param) {
    std::unique_ptr<stu_MakeExeParam> p(static_cast<stu_MakeExeParam*>(param));
    SetMaking(1);
    platform::ModuleHandle library = platform::LoadModule(L"Tovilib.dll");
    auto translate = library ? platform::FindFunctionAs<PFN_b_TranslateErrorMessage>(
                                   library, "b_TranslateErrorMessage")
                             : nullptr;
    Notify(*p, 0, 1);
    NotifyText(*p, 5, L"正在创建可执行文件...");

    bool succeeded = false;
    Builder builder(*p);
    try {
        builder.Run();
        succeeded = true;
    } catch (const BuildFailure& failure) {
        builder.Abandon();
        if (translate) {
            wxString systemText;
            translate(&systemText, failure.code);
            const wxString text = L"生成独立播放器失败, " + systemText;
            NotifyText(*p, 1, text.wc_str());
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(tovi::MakeExePause()));
    Notify(*p, 0, 0);
    if (succeeded) {
        const wxString text =
            wxString::Format(L"已成功生成独立播放器, 保存在 %ls", p->strExePath.wc_str());
        NotifyText(*p, 1, text.wc_str());
    }
    SetMaking(0);
    return 0;
}
