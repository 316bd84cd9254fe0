#include "lists/media_list.h"

#include <algorithm>

void MediaList::AddHead(const wxString& path) {
    entries_.insert(entries_.begin(), path);
}

void MediaList::AddTail(const wxString& path) {
    entries_.push_back(path);
}

void MediaList::RemoveHead() {
    if (!entries_.empty()) {
        entries_.erase(entries_.begin());
    }
}

void MediaList::RemoveTail() {
    if (!entries_.empty()) {
        entries_.pop_back();
    }
}

void MediaList::RemoveAt(std::size_t index) {
    if (index < entries_.size()) {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

std::optional<std::size_t> MediaList::Find(const wxString& path) const {
    auto it = std::find(entries_.begin(), entries_.end(), path);
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - entries_.begin());
}

bool MediaList::RemoveFirst(const wxString& path) {
    auto at = Find(path);
    if (!at) {
        return false;
    }
    RemoveAt(*at);
    return true;
}

std::size_t MediaList::RemoveEvery(const wxString& path) {
    auto end = std::remove(entries_.begin(), entries_.end(), path);
    std::size_t removed = static_cast<std::size_t>(entries_.end() - end);
    entries_.erase(end, entries_.end());
    return removed;
}
