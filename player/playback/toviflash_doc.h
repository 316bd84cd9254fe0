#pragma once

#include <wx/docview.h>

#include "lists/list_commands.h"
#include "tovi.h"

struct PlayerContext;

// The open file: its path, its header information and the path open before it. Every route
// that opens a file (the open dialog, the command line, dropped files, list items, previous
// and next) ends in Open.
class CToviFlashDoc : public wxDocument, private ListItemCommands::Host {
  public:
    explicit CToviFlashDoc(PlayerContext& context);

    // An empty path: no file is open and the view shows the start movie.
    bool OnNewDocument() override;
    // The file must open for reading and its header must be read; failures are shown and
    // leave the document as it was.
    bool OnOpenDocument(const wxString& path) override;
    // Saving under another name copies the file.
    bool OnSaveDocument(const wxString& path) override;
    bool IsModified() const override { return false; }

    // Opens `path`, takes it as the document's path and lets the views load it.
    bool Open(const wxString& path);

    // The open file's path; empty when none is.
    wxString GetPathName() const { return GetFilename(); }
    // The path that was open before the current one.
    const wxString& GetPreviousPath() const { return previousPath_; }
    const stu_SwfInfo& GetSwfInfo() const { return info_; }

    // Copies the open file to `target`, overwriting it, and says how it went. A copy onto the
    // open file itself leaves it as it is.
    bool SaveCopy(const wxString& target);

    // Where the file dialogs start: the open file's folder, else the folder last chosen in
    // one of them; empty when there is neither.
    wxString DialogFolder() const;
    // Takes the folder of a file chosen in a dialog as the last one used.
    void RememberFolder(const wxString& chosen);

    // Starts the standalone-player builder for the open file; `notify` receives its progress.
    // Refused with a message while another build runs.
    void MakePlayer(platform::MessageWindow* notify);

  private:
    void OnOpen(wxCommandEvent& event);
    void OnOpenNetwork(wxCommandEvent& event);
    void OnOpenEdit(wxCommandEvent& event);
    void OnListItem(wxCommandEvent& event);

    // ListItemCommands::Host
    std::optional<wxString> DescriptionOf(int id) override;
    wxString DocumentPath() override { return GetPathName(); }
    bool OpenDocument(const wxString& path) override { return Open(path); }

    PlayerContext& context_;
    stu_SwfInfo info_{};
    wxString previousPath_;
    wxString lastFolder_;

    wxDECLARE_CLASS(CToviFlashDoc);
    wxDECLARE_EVENT_TABLE();
};
