// A folder's listing as the scan holds it: every name in one buffer. A folder of half a million
// greetings costs two allocations rather than half a million, and none of its names stays
// behind in the listing thread's heap once the folder is done.
#pragma once

#include "platform/files/file_status.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::platform {

// An entry of a listing; the name lives as long as the listing does.
struct FolderItem {
    std::string_view name;
    EntryKind kind;
};

class FolderItems {
public:
    void add(std::string_view name, EntryKind kind);
    // Empties the listing and keeps its buffers for the next part of a folder.
    void clear();
    std::size_t size() const { return kinds_.size(); }
    bool empty() const { return kinds_.empty(); }
    FolderItem operator[](std::size_t index) const;

    class Iterator {
    public:
        Iterator(const FolderItems& items, std::size_t index) : items_(&items), index_(index) {}
        FolderItem operator*() const { return (*items_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

    private:
        const FolderItems* items_;
        std::size_t index_;
    };
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, size()}; }

private:
    std::string names_;
    std::vector<std::size_t> ends_; // where each name ends in names_
    std::vector<EntryKind> kinds_;
};

// A listing gathered into parts, as OpenFolder::listInParts hands it out: each part goes to
// `take` once it holds `partSize` entries, and what is left when finish() is called.
class FolderItemParts {
public:
    FolderItemParts(std::size_t partSize, const std::function<void(FolderItems& part)>& take)
        : partSize_(partSize), take_(take) {}
    void add(std::string_view name, EntryKind kind);
    void finish();

private:
    std::size_t partSize_;
    const std::function<void(FolderItems& part)>& take_;
    FolderItems part_;
};

} // namespace tambrel::platform
