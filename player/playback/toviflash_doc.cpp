#include "playback/toviflash_doc.h"

#include <wx/filename.h>

#include <filesystem>
#include <system_error>
#include <thread>

#include "Tovilib.h"
#include "common/player_context.h"
#include "host/prompts.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "playback/frame_link.h"
#include "res/resource_ids.h"

wxIMPLEMENT_CLASS(CToviFlashDoc, wxDocument);

wxBEGIN_EVENT_TABLE(CToviFlashDoc, wxDocument) EVT_MENU(ID_OPEN, CToviFlashDoc::OnOpen)
    EVT_MENU(ID_OPEN_LOCAL, CToviFlashDoc::OnOpen)
        EVT_MENU(ID_OPEN_NETWORK, CToviFlashDoc::OnOpenNetwork) EVT_MENU(ID_OPEN_EDIT,
                                                                         CToviFlashDoc::OnOpenEdit)
            EVT_MENU_RANGE(ID_HISTORY_OPEN_FIRST, ID_HISTORY_PLAY_LAST, CToviFlashDoc::OnListItem)
                EVT_MENU_RANGE(ID_RELATED_OPEN_FIRST, ID_RELATED_PLAY_LAST,
                               CToviFlashDoc::OnListItem)
                    EVT_MENU_RANGE(ID_PLAYLIST_OPEN_FIRST, ID_NAVIGATION_LAST,
                                   CToviFlashDoc::OnListItem) wxEND_EVENT_TABLE()

                        namespace {
    const wxString kOpenFilter =
        wxS("Flash 文档(*.swf; *.flv)|*.swf;*.flv|Flash 文档(*.swf)|*.swf|Flash 文档(*.flv)|*.flv|"
            "所有文件 (*.*)|*.*||");

    bool SameFile(const wxString& a, const wxString& b) {
        std::error_code ec;
        return std::filesystem::equivalent(platform::NativePath(a.ToStdWstring()),
                                           platform::NativePath(b.ToStdWstring()), ec);
    }

}  // namespace

CToviFlashDoc::CToviFlashDoc(PlayerContext& context) : context_(context) {}

bool CToviFlashDoc::OnNewDocument() {
    SetDocumentSaved(false);
    SetFilename(wxString(), true);
    return true;
}

bool CToviFlashDoc::OnOpenDocument(const wxString& path) {
    platform::File file;
    platform::FileException error;
    if (!file.Open(path.wc_str(), platform::File::modeRead | platform::File::shareDenyWrite,
                   &error)) {
        context_.prompts.Tell(error.GetErrorMessage(), host::PromptIcon::Error);
        return false;
    }
    file.Abort();
    stu_SwfInfo info{};
    try {
        ::GetSwfInfo(&info, path.wc_str());
    } catch (const wchar_t* text) {
        context_.prompts.Tell(text, host::PromptIcon::Warning);
        return false;
    }
    info_ = info;
    previousPath_ = GetPathName();
    return true;
}

bool CToviFlashDoc::Open(const wxString& path) {
    if (!OnOpenDocument(path)) {
        return false;
    }
    SetFilename(path, true);
    UpdateAllViews();
    return true;
}

bool CToviFlashDoc::OnSaveDocument(const wxString& path) {
    return SaveCopy(path);
}

bool CToviFlashDoc::SaveCopy(const wxString& target) {
    const wxString source = GetPathName();
    if (SameFile(source, target) || platform::CopyFileTo(source.wc_str(), target.wc_str(), false)) {
        context_.prompts.Tell(wxS("保存成功"));
        return true;
    }
    const platform::DWORD code = platform::GetLastError();
    if (code != 0) {
        wxString text;
        b_TranslateErrorMessage(&text, code);
        context_.prompts.Tell(wxS("保存出错!\r\n") + text, host::PromptIcon::Error);
    }
    return false;
}

wxString CToviFlashDoc::DialogFolder() const {
    const wxString path = GetPathName();
    return path.empty() ? lastFolder_ : wxFileName(path).GetPath();
}

void CToviFlashDoc::RememberFolder(const wxString& chosen) {
    lastFolder_ = wxFileName(chosen).GetPath();
}

void CToviFlashDoc::MakePlayer(platform::MessageWindow* notify) {
    if (g_blIsMaking != 0) {
        context_.prompts.Tell(wxS("现在正在生成另一个文件, 请稍候重试"), host::PromptIcon::Warning);
        return;
    }
    const wxString path = GetPathName();
    host::FileRequest request;
    request.save = true;
    request.overwritePrompt = true;
    request.defaultExtension = wxS("exe");
    request.defaultName = GetNameFormPathNoEx(path.wc_str()) + wxS(".exe");
    request.filter = wxS("可执行文件(*.exe)|*.exe|其它文件类型(*.*)|*.*||");
    request.folder = DialogFolder();
    std::optional<wxString> output = context_.prompts.AskFile(request);
    if (!output) {
        return;
    }
    RememberFolder(*output);
    auto* param = new stu_MakeExeParam{
        GetLastDirectoryFromPath(platform::GetProgramPath().c_str()) + wxS("Binary\\mkexe"),
        *output,
        path,
        notify,
        info_.nWidth,
        info_.nHeight,
    };
    // Raised here rather than by the thread, so a second request in between is refused.
    g_blIsMaking = 1;
    std::thread(MakeExeThreadProc, param).detach();
}

void CToviFlashDoc::OnOpen(wxCommandEvent&) {
    host::FileRequest request;
    request.overwritePrompt = true;
    request.filter = kOpenFilter;
    request.folder = DialogFolder();
    if (std::optional<wxString> path = context_.prompts.AskFile(request)) {
        RememberFolder(*path);
        Open(*path);
    }
}

void CToviFlashDoc::OnOpenNetwork(wxCommandEvent&) {
    context_.prompts.Tell(wxS("Hello 按钮"));
}

void CToviFlashDoc::OnOpenEdit(wxCommandEvent&) {
    context_.prompts.Tell(wxS("Hello 输入框"));
}

void CToviFlashDoc::OnListItem(wxCommandEvent& event) {
    ListItemCommands(context_.lists, *this, context_.prompts).Run(event.GetId());
}

std::optional<wxString> CToviFlashDoc::DescriptionOf(int id) {
    FrameLink* frame = context_.frame;
    return frame ? frame->DescriptionOf(id) : std::nullopt;
}
