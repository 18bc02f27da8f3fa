// Every size limit of the editor in one place. Each guards memory or time
// against a file or a reply from outside; the README's "Limits" section says
// what the user sees past each one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvellin {

// The longest side a picture may have. The JPEG format allows 65,535, but
// every effect keeps several picture-sized copies at once (working, preview,
// replay, history snapshots); 30,000 covers the largest camera sensors with
// room to spare.
inline constexpr std::int64_t kMaxPictureSide = 30000;

// The most pixels a picture may have: 256 megapixels are 768 MB at three bytes
// a pixel, already the most a desktop can hold a few copies of. A header that
// claims more is refused before any pixel memory is allocated.
inline constexpr std::int64_t kMaxPicturePixels = 256LL * 1000 * 1000;

// The sides libheif may decode a HEIF picture at, beyond its declared size:
// a grid picture is put together on a canvas of the size its grid data names,
// and each tile is decoded at its coded size, neither of which libheif holds
// to the declared size (a 512-byte file declaring 12 x 9 pixels could have
// 4.7 GB allocated). A sound file's canvas is its declared size, and a coded
// picture exceeds its size by less than one HEVC coding block (64 pixels);
// a tile can be larger than a small picture, up to 2048 pixels a side. No
// side of any canvas may exceed the declared longest side (at least
// kHeifLargestTile) by more than kHeifCodingBlock.
inline constexpr int kHeifLargestTile = 2048;
inline constexpr int kHeifCodingBlock = 64;

// The working memory libjpeg may take while decoding (a progressive JPEG keeps
// every coefficient of the picture): 2 GB is what the largest picture needs,
// so a file that asks for more is refused by the decoder.
inline constexpr long kMaxJpegDecoderMemory = 2000L * 1000 * 1000;

// The largest file read whole into memory (pictures, mask files). A BMP of
// the largest picture is 768 MB; 1 GiB leaves room for its header and row
// padding while refusing a file that would only exhaust memory.
inline constexpr std::uint64_t kMaxReadFileBytes = 1ULL << 30;

// The largest settings, language or update file read. The shipped language
// files are a few kilobytes; 16 MiB is far past any real translation and still
// parsed at once. A larger file reads as an empty one, as an unreadable file does.
inline constexpr std::size_t kMaxIniFileBytes = 16u << 20;

// The longest INI value kept, as the classic profile API cuts them: longer
// values are cut at this many characters.
inline constexpr std::size_t kIniValueLimit = 2047;

// The longest reply to the update check: the update file holds two short
// keys, so 64 KiB is generous, and a server that sends more is not one we know.
inline constexpr std::size_t kUpdateBodyLimit = 64 * 1024;

// The longest wallpaper file path handed to the desktop, in UTF-16 code units:
// 259, the classic path limit (260 with its terminating zero) that the
// wallpaper command has always been held to. A longer path is refused before
// the desktop setting changes.
inline constexpr int kMaxWallpaperPathLength = 259;

}  // namespace corvellin
