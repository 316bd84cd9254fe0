#pragma once

#include <wx/string.h>

#include <cstddef>
#include <optional>
#include <vector>

// An ordered list of full file paths, head first. Entries compare exactly (case and all).
class MediaList {
  public:
    std::size_t GetCount() const { return entries_.size(); }
    bool IsEmpty() const { return entries_.empty(); }
    const wxString& GetAt(std::size_t index) const { return entries_.at(index); }
    const std::vector<wxString>& Entries() const { return entries_; }

    void AddHead(const wxString& path);
    void AddTail(const wxString& path);
    void RemoveHead();
    void RemoveTail();
    void RemoveAt(std::size_t index);
    void Clear() { entries_.clear(); }

    // Position of the first equal entry from the head.
    std::optional<std::size_t> Find(const wxString& path) const;
    // Removes the first equal entry; false when there is none.
    bool RemoveFirst(const wxString& path);
    // Removes every equal entry; returns how many went.
    std::size_t RemoveEvery(const wxString& path);

  private:
    std::vector<wxString> entries_;
};
