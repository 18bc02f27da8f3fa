#include "HeifCodec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <libheif/heif.h>

#include "Error.h"
#include "SizeGuard.h"

namespace corvellin {
namespace {

[[noreturn]] void Invalid(const std::string& why) { throw Error("HEIF image is not valid. " + why); }

void Check(const heif_error& error) {
    if (error.code != heif_error_Ok) Invalid(error.message != nullptr ? error.message : "Unknown error.");
}

struct ContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageDeleter {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

// The file's primary image; the context holds the bytes it was read from.
struct Primary {
    std::unique_ptr<heif_context, ContextDeleter> context;
    std::unique_ptr<heif_image_handle, HandleDeleter> handle;
};

Primary OpenPrimary(const std::uint8_t* data, std::size_t size) {
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
    Primary primary;
    primary.context.reset(heif_context_alloc());
    if (!primary.context) throw Error("Not enough memory to read the HEIF file.");
    // libheif's own side limit stays above the size guard, which names the
    // claimed size in its message.
    heif_context_set_maximum_image_size_limit(primary.context.get(), 1 << 20);
    Check(heif_context_read_from_memory_without_copy(primary.context.get(), data, size, nullptr));
    heif_image_handle* handle = nullptr;
    Check(heif_context_get_primary_image_handle(primary.context.get(), &handle));
    primary.handle.reset(handle);
    return primary;
}

}  // namespace

Picture DecodeHeif(const std::uint8_t* data, std::size_t size) {
    const Primary primary = OpenPrimary(data, size);
    heif_image_handle* handle = primary.handle.get();
    CheckPictureSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle), "HEIF");
    // libheif's own limit on either side of every canvas it decodes, checked
    // before the canvas is made, narrowed to the declared size (Limits.h).
    const int declaredSide = std::max({heif_image_handle_get_width(handle), heif_image_handle_get_height(handle),
                                       heif_image_handle_get_ispe_width(handle), heif_image_handle_get_ispe_height(handle),
                                       kHeifLargestTile});
    heif_context_set_maximum_image_size_limit(primary.context.get(), declaredSide + kHeifCodingBlock + 1);
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    options->ignore_transformations = 0;
    heif_image* decoded = nullptr;
    Check(heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get()));
    std::unique_ptr<heif_image, ImageDeleter> image(decoded);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    CheckPictureSize(width, height, "HEIF");
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    if (plane == nullptr || heif_image_get_bits_per_pixel_range(decoded, heif_channel_interleaved) != 8)
        Invalid("Its pixels cannot be read.");
    Picture picture(width, height);
    const int channels = alpha ? 4 : 3;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = plane + static_cast<std::ptrdiff_t>(stride) * y;
        std::uint8_t* out = picture.row(y);
        for (int x = 0; x < width; ++x, in += channels, out += 3) {
            const unsigned a = alpha ? in[3] : 255u;
            for (int c = 0; c < 3; ++c) out[2 - c] = static_cast<std::uint8_t>((in[c] * a + 255u * (255u - a) + 127u) / 255u);
        }
    }
    return picture;
}

PictureMetadata ReadHeifMetadata(const std::uint8_t* data, std::size_t size) {
    PictureMetadata metadata;
    const Primary primary = OpenPrimary(data, size);
    heif_image_handle* handle = primary.handle.get();
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, nullptr);
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0) heif_image_handle_get_list_of_metadata_block_IDs(handle, nullptr, ids.data(), count);
    for (const heif_item_id id : ids) {
        const std::string type = heif_image_handle_get_metadata_type(handle, id);
        const std::string content = heif_image_handle_get_metadata_content_type(handle, id);
        std::vector<std::uint8_t> block(heif_image_handle_get_metadata_size(handle, id));
        if (block.empty() || heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok) continue;
        if (type == "Exif" && metadata.exif.empty() && block.size() >= 4) {
            // The block starts with the offset of the TIFF header after these four bytes.
            const std::size_t offset = (std::size_t{block[0]} << 24) | (std::size_t{block[1]} << 16) |
                                       (std::size_t{block[2]} << 8) | block[3];
            if (offset <= block.size() - 4) metadata.exif.assign(block.begin() + 4 + static_cast<std::ptrdiff_t>(offset), block.end());
        } else if (type == "mime" && content == "application/rdf+xml" && metadata.xmp.empty()) {
            metadata.xmp.assign(block.begin(), block.end());
        }
    }
    if (const std::size_t iccSize = heif_image_handle_get_raw_color_profile_size(handle); iccSize > 0) {
        metadata.icc.resize(iccSize);
        if (heif_image_handle_get_raw_color_profile(handle, metadata.icc.data()).code != heif_error_Ok) metadata.icc.clear();
    }
    metadata.orientationApplied = true;
    return metadata;
}

}  // namespace corvellin
