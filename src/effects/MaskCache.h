// Mask pictures kept between effect calls. A thumbnail render reads ten mask
// files, and the same ones again at every later visit of the category, at
// every preview and at every save; decoding a 2000 x 1333 JPEG costs far more
// than blending it. The cache keeps the decoded (or already stretched) mask,
// keyed by the file's identity on disk (path, device and inode, size and
// modification time) and the target size, so a mask file replaced or edited
// on disk is read afresh at its next use, exactly as without a cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "picture/Picture.h"

namespace corvellin {

class MaskCache;

// The memory the editor lets its mask cache hold: every category's ten
// thumbnail masks, a few preview-sized ones and a dozen full-size decodes of
// the shipped 2000 x 1333 art.
inline constexpr std::size_t kMaskCacheBytes = std::size_t{128} << 20;

class MaskCache {
public:
    explicit MaskCache(std::size_t budgetBytes = kMaskCacheBytes) : budget_(budgetBytes) {}

    // The mask ready for a width x height picture: either already stretched to
    // that size (when that is smaller than the stored mask) or the mask as
    // stored, which the caller stretches row by row. Both give the rows of
    // PrepareMask(path, width, height). Errors are LoadMaskFile's and are never
    // cached.
    std::shared_ptr<const Picture> Get(const std::string& path, int width, int height);

    std::size_t bytes() const;
    std::size_t entries() const;
    std::size_t budget() const { return budget_; }
    void Clear();

private:
    struct Key {
        std::string path;
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, modifiedNs = 0, changedNs = 0;
        int width = 0, height = 0;  // 0 x 0: the mask as stored
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        std::shared_ptr<const Picture> picture;
    };
    std::shared_ptr<const Picture> Find(const Key& key);
    void Insert(const Key& key, std::shared_ptr<const Picture> picture);

    const std::size_t budget_;
    mutable std::mutex mutex_;
    std::list<Entry> entries_;  // most recently used first
    std::size_t bytes_ = 0;
};

// The mask for a width x height picture through the context's cache, or read
// afresh without one; see MaskCache::Get.
std::shared_ptr<const Picture> LoadMaskFor(MaskCache* cache, const std::string& path, int width, int height);

}  // namespace corvellin
