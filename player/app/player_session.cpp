#include "app/player_session.h"

#include <wx/dnd.h>
#include <wx/docview.h>
#include <wx/frame.h>

#include "common/settings_store.h"
#include "lists/list_files.h"
#include "platform/folders.h"
#include "playback/frame_link.h"
#include "playback/toviflash_doc.h"
#include "playback/toviflash_view.h"
#include "tovi.h"

namespace {

// Files dropped anywhere on the main window.
class DroppedFiles : public wxFileDropTarget {
  public:
    explicit DroppedFiles(PlayerSession& session) : session_(session) {}
    bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
        session_.OpenFiles(files);
        return true;
    }

  private:
    PlayerSession& session_;
};

// The one document template: its document and view are made with the session's context.
class SessionTemplate : public wxDocTemplate {
  public:
    SessionTemplate(wxDocManager* manager, PlayerContext& context)
        : wxDocTemplate(manager, wxS("Flash"), wxS("*.swf"), wxString(), wxS("swf"),
                        wxS("ToviFlash.swf"), wxS("ToviFlash.swf"), CLASSINFO(CToviFlashDoc),
                        CLASSINFO(CToviFlashView), wxTEMPLATE_VISIBLE),
          context_(context) {}

  protected:
    wxDocument* DoCreateDocument() override { return new CToviFlashDoc(context_); }
    wxView* DoCreateView() override { return new CToviFlashView(context_); }

  private:
    PlayerContext& context_;
};

void MakeFolderUnlessThere(const std::wstring& path) {
    if (!platform::IsDirectory(path.c_str())) {
        platform::MakeDirectory(path.c_str());
    }
}

}  // namespace

PlayerSession::PlayerSession(host::PromptService& prompts, res::ImageStrips& images)
    : context_{settings_, lists_, prompts, images} {}

PlayerSession::~PlayerSession() {
    context_.frame = nullptr;
    lists_.SetMenus(nullptr);
    delete manager_;
}

CToviFlashView* PlayerSession::GetView() const {
    return document_ ? wxDynamicCast(document_->GetFirstView(), CToviFlashView) : nullptr;
}

bool PlayerSession::Start(const wxString& file, const FrameFactory& makeFrame) {
    settings_store::EnsureKey();

    manager_ = new wxDocManager;
    manager_->SetMaxDocsOpen(1);
    template_ = new SessionTemplate(manager_, context_);

    frame_ = makeFrame(manager_, context_);
    if (!frame_) {
        return false;
    }
    context_.frame = frame_;
    lists_.SetMenus(frame_);
    wxFrame* window = frame_->Window();
    // The state is saved when the main window closes, before it goes.
    window->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        SaveState();
        event.Skip();
    });
    window->Bind(wxEVT_DESTROY, [this, window](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == window) {
            lists_.SetMenus(nullptr);
            context_.frame = nullptr;
            frame_ = nullptr;
            document_ = nullptr;
        }
        event.Skip();
    });

    wxDocument* doc = template_->CreateDocument(wxString(), wxDOC_NEW | wxDOC_SILENT);
    document_ = wxDynamicCast(doc, CToviFlashDoc);
    if (!document_ || !GetView()) {
        Abandon();
        return false;
    }

    LoadState();

    if (!file.empty()) {
        if (!document_->Open(file)) {
            Abandon();
            return false;
        }
    } else {
        document_->OnNewDocument();
        document_->UpdateAllViews();
    }

    window->Show(true);
    window->Update();
    window->SetDropTarget(new DroppedFiles(*this));

    CreateFolders();
    return true;
}

void PlayerSession::Abandon() {
    // The document and its view go while the main window they live in is still there.
    if (manager_) {
        manager_->CloseDocuments(true);
    }
    document_ = nullptr;
    if (frame_) {
        frame_->Window()->Destroy();
    }
}

void PlayerSession::LoadState() {
    settings_store::Load(settings_);
    LoadLists(lists_, settings_, context_.prompts);
    if (frame_) {
        frame_->RefreshCapacityControls();
    }
}

void PlayerSession::SaveState() {
    settings_store::Save(settings_);
    SaveLists(lists_, settings_, context_.prompts);
}

void PlayerSession::OpenFiles(const wxArrayString& files) {
    for (const wxString& file : files) {
        if (document_) {
            document_->Open(file);
        }
    }
}

void PlayerSession::CreateFolders() {
    std::wstring folder = platform::GetAppDataFolder();
    if (!folder.empty()) {
        for (const wchar_t* part : {L"\\Kestrum", L"\\ToviFlash", L"\\Seting"}) {
            folder += part;
            MakeFolderUnlessThere(folder);
        }
    }
    for (const wchar_t* carrier : {L"Binary\\kk.kk", L"Tools\\kk.kk"}) {
        MakeFolderUnlessThere(
            GetLastDirectoryFromPath(GetSetingFilePathName(carrier).wc_str()).ToStdWstring());
    }
}
