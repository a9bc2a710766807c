#include "platform/files/folder_items.h"

namespace tambrel::platform {

void FolderItems::add(std::string_view name, EntryKind kind) {
    names_.append(name);
    ends_.push_back(names_.size());
    kinds_.push_back(kind);
}

void FolderItems::clear() {
    names_.clear();
    ends_.clear();
    kinds_.clear();
}

void FolderItemParts::add(std::string_view name, EntryKind kind) {
    part_.add(name, kind);
    if (part_.size() >= partSize_) {
        take_(part_);
        part_.clear();
    }
}

void FolderItemParts::finish() {
    if (!part_.empty())
        take_(part_);
    part_.clear();
}

FolderItem FolderItems::operator[](std::size_t index) const {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return {std::string_view(names_).substr(begin, ends_[index] - begin), kinds_[index]};
}

} // namespace tambrel::platform
