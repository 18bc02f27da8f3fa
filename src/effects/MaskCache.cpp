#include "MaskCache.h"

#include <sys/stat.h>

#include "MaskFile.h"

namespace corvellin {

namespace {

std::size_t BytesOf(const Picture& picture) { return picture.byteCount() + sizeof(Picture); }

}  // namespace

std::shared_ptr<const Picture> MaskCache::Find(const Key& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->key == key) {
            entries_.splice(entries_.begin(), entries_, it);
            return entries_.front().picture;
        }
    }
    return nullptr;
}

void MaskCache::Insert(const Key& key, std::shared_ptr<const Picture> picture) {
    const std::size_t size = BytesOf(*picture);
    if (size > budget_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    // Entries of the same path and target size made from an older file are of
    // no further use: drop them at once rather than when they age out.
    for (auto it = entries_.begin(); it != entries_.end();) {
        const bool stale = it->key.path == key.path && it->key.width == key.width && it->key.height == key.height;
        if (stale) {
            bytes_ -= BytesOf(*it->picture);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    while (!entries_.empty() && bytes_ + size > budget_) {
        bytes_ -= BytesOf(*entries_.back().picture);
        entries_.pop_back();
    }
    entries_.push_front(Entry{key, std::move(picture)});
    bytes_ += size;
}

std::shared_ptr<const Picture> MaskCache::Get(const std::string& path, int width, int height) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        // Missing or unreadable: LoadMaskFile gives the error text.
        return std::make_shared<const Picture>(LoadMaskFile(path));
    }
    Key key;
    key.path = path;
    key.device = static_cast<std::uint64_t>(info.st_dev);
    key.inode = static_cast<std::uint64_t>(info.st_ino);
    key.size = static_cast<std::int64_t>(info.st_size);
    key.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    key.changedNs = static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    Key stretchedKey = key;
    stretchedKey.width = width;
    stretchedKey.height = height;
    if (auto hit = Find(stretchedKey)) return hit;
    if (auto hit = Find(key)) return hit;

    auto stored = std::make_shared<const Picture>(LoadMaskFile(path));
    const std::size_t targetBytes = static_cast<std::size_t>(width > 0 ? width : 0) * static_cast<std::size_t>(height > 0 ? height : 0) * 3;
    if (width > 0 && height > 0 && targetBytes < stored->byteCount()) {
        auto stretched = std::make_shared<const Picture>(StretchNearest(*stored, width, height));
        Insert(stretchedKey, stretched);
        return stretched;
    }
    Insert(key, stored);
    return stored;
}

std::size_t MaskCache::bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

std::size_t MaskCache::entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

void MaskCache::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
    bytes_ = 0;
}

std::shared_ptr<const Picture> LoadMaskFor(MaskCache* cache, const std::string& path, int width, int height) {
    if (cache != nullptr) return cache->Get(path, width, height);
    return std::make_shared<const Picture>(LoadMaskFile(path));
}

}  // namespace corvellin
