#include "TestFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

#include "effects/MaskFile.h"
#include "picture/BmpCodec.h"
#include "picture/JpegCodec.h"

namespace corvellin::test {

TempDir::TempDir() {
    std::string pattern = "/tmp/corvellin-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteSparseFile(const std::string& path, std::uint64_t size) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    const bool sized = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ::close(fd);
    if (!sized) throw std::runtime_error("cannot size " + path);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Picture RandomPicture(int width, int height, std::uint32_t seed) {
    Picture picture(width, height);
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < picture.byteCount(); ++i) picture.data()[i] = static_cast<std::uint8_t>(random() >> 24);
    return picture;
}

Picture SolidPicture(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    Picture picture(width, height);
    for (std::size_t i = 0; i + 2 < picture.byteCount(); i += 3) {
        picture.data()[i] = b;
        picture.data()[i + 1] = g;
        picture.data()[i + 2] = r;
    }
    return picture;
}

Bgr PixelAt(const Picture& picture, int x, int y) {
    const std::uint8_t* p = picture.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

void SetPixel(Picture& picture, int x, int y, Bgr colour) {
    std::uint8_t* p = picture.row(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(colour.b);
    p[1] = static_cast<std::uint8_t>(colour.g);
    p[2] = static_cast<std::uint8_t>(colour.r);
}

int MaxDifference(const Picture& a, const Picture& b) {
    if (a.width() != b.width() || a.height() != b.height()) return 256;
    int worst = 0;
    for (std::size_t i = 0; i < a.byteCount(); ++i) worst = std::max(worst, std::abs(a.data()[i] - b.data()[i]));
    return worst;
}

int JpegSamplesPerPixel(JpegKind kind) {
    switch (kind) {
        case JpegKind::Grey: return 1;
        case JpegKind::AdobeCmyk:
        case JpegKind::AdobeYcck: return 4;
        default: return 3;
    }
}

std::vector<std::uint8_t> EncodeJpegOfKind(JpegKind kind, int width, int height, int quality, const JpegRowFiller& fill) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = JpegSamplesPerPixel(kind);
    info.in_color_space = kind == JpegKind::Grey ? JCS_GRAYSCALE
                          : info.input_components == 4 ? JCS_CMYK
                                                       : JCS_RGB;
    jpeg_set_defaults(&info);
    if (kind == JpegKind::AdobeYcck) jpeg_set_colorspace(&info, JCS_YCCK);
    jpeg_set_quality(&info, quality, TRUE);
    if (kind == JpegKind::Progressive) jpeg_simple_progression(&info);
    if (kind == JpegKind::Arithmetic) info.arith_code = TRUE;
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * static_cast<std::size_t>(info.input_components));
    while (info.next_scanline < info.image_height) {
        fill(static_cast<int>(info.next_scanline), row.data());
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

std::vector<std::uint8_t> EncodeGreyJpeg(const Picture& picture) {
    return EncodeJpegOfKind(JpegKind::Grey, picture.width(), picture.height(), 75, [&](int y, std::uint8_t* samples) {
        const std::uint8_t* in = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) samples[x] = in[3 * x + 1];
    });
}

std::string WriteMaskFile(const std::string& picDir, int category, int number, const Picture& mask, bool asBmp) {
    const std::string path = MaskFilePath(picDir, category, number);
    WriteBytes(path, PackMaskBytes(asBmp ? EncodeBmp(mask) : EncodeJpeg(mask, 95)));
    return path;
}

}  // namespace corvellin::test
