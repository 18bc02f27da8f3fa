#include "Generator.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "Paintings.h"
#include "effects/MaskFile.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"

namespace maskgen {

namespace {

// Long side of the masks: sharp families keep about 2000 pixels so that a
// 6000 x 4000 picture shows no steps; soft families need less.
void SizeOf(int category, int& width, int& height) {
    switch (category) {
        case 8:  // Dream: haze and large soft bokeh
            width = 1500, height = 1000;
            break;
        default:
            width = 2000, height = 1333;
            break;
    }
}

Encoding EncodingOf(int category, int number) {
    // A star field of single-pixel stars and two crisp textures suffer from
    // JPEG ringing; they ship as BMP (the textures as 8-bit palette files).
    if (category == 6 && number == 1) return Encoding::Bmp24;
    if (category == 10 && (number == 1 || number == 6 || number == 10)) return Encoding::Bmp8;
    // Edge masks are grey: the heart keeps its crisp outline as an 8-bit bitmap.
    if (category == 11 && number == 7) return Encoding::Bmp8;
    return Encoding::Jpeg;
}

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// The palette of an 8-bit texture: a ramp from black to a tint (white for
// grey textures, a warm cream for paper).
std::array<std::uint32_t, 256> RampPalette(double r, double g, double b) {
    std::array<std::uint32_t, 256> palette{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        const auto channel = [i](double tint) {
            return static_cast<std::uint32_t>(std::nearbyint(tint * i));
        };
        palette[i] = channel(r) << 16 | channel(g) << 8 | channel(b);
    }
    return palette;
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp8(const std::vector<std::uint8_t>& indices, int width, int height,
                                     const std::array<std::uint32_t, 256>& palette) {
    if (width <= 0 || height <= 0 || indices.size() != static_cast<std::size_t>(width) * height)
        throw corvellin::Error("An 8-bit bitmap needs one palette index per pixel.");
    const std::size_t rowBytes = (static_cast<std::size_t>(width) + 3) / 4 * 4;
    const std::size_t offset = 14 + 40 + 256 * 4;
    const std::size_t size = offset + rowBytes * height;
    std::vector<std::uint8_t> b(size, 0);
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(size));
    Put32(b, 10, static_cast<std::uint32_t>(offset));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, 8);
    Put32(b, 34, static_cast<std::uint32_t>(rowBytes * height));
    Put32(b, 38, 2835);  // 72 dpi
    Put32(b, 42, 2835);
    Put32(b, 46, 256);
    for (std::size_t i = 0; i < 256; ++i) {
        b[54 + 4 * i] = static_cast<std::uint8_t>(palette[i] & 0xFF);
        b[54 + 4 * i + 1] = static_cast<std::uint8_t>((palette[i] >> 8) & 0xFF);
        b[54 + 4 * i + 2] = static_cast<std::uint8_t>((palette[i] >> 16) & 0xFF);
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = indices.data() + static_cast<std::size_t>(y) * width;
        std::copy(src, src + width, b.begin() + static_cast<std::ptrdiff_t>(offset + rowBytes * (height - 1 - y)));
    }
    return b;
}

std::vector<MaskJob> JobsFor(const std::vector<int>& categories) {
    std::vector<MaskJob> jobs;
    const bool all = categories.empty();
    const auto wanted = [&](int c) {
        return all || std::find(categories.begin(), categories.end(), c) != categories.end();
    };
    if (wanted(0)) jobs.push_back({0, 0, false, 1600, 1067, Encoding::Jpeg});
    for (int category : kArtCategories) {
        if (!wanted(category)) continue;
        for (int n = 1; n <= 10; ++n) {
            MaskJob job{category, n, false, 0, 0, EncodingOf(category, n)};
            SizeOf(category, job.width, job.height);
            jobs.push_back(job);
            if (category == 12) {
                job.frameMask = true;
                jobs.push_back(job);
            }
        }
    }
    return jobs;
}

std::vector<std::uint8_t> RenderJob(const MaskJob& job) {
    if (job.category == 0) return corvellin::EncodeJpeg(PaintLandscape(job.width, job.height).ToPicture(), 92);
    const Canvas canvas = job.category == 10   ? PaintTexture(job.number, job.width, job.height)
                          : job.category == 11 ? PaintEdgeMask(job.number, job.width, job.height)
                          : job.category == 12 ? PaintFrame(job.number, job.frameMask, job.width, job.height)
                                               : PaintAdditive(job.category, job.number, job.width, job.height);
    if (job.encoding == Encoding::Bmp8) {
        std::vector<std::uint8_t> indices(static_cast<std::size_t>(canvas.width()) * canvas.height());
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const float* p = canvas.At(x, y);
                const double grey = (static_cast<double>(p[0]) + p[1] + p[2]) / 3;
                indices[static_cast<std::size_t>(y) * canvas.width() + x] =
                    static_cast<std::uint8_t>(std::nearbyint(Clamp01(grey) * 255));
            }
        const auto palette = job.category == 10 && job.number == 1 ? RampPalette(1.0, 0.97, 0.90) : RampPalette(1.0, 1.0, 1.0);
        return EncodeBmp8(indices, canvas.width(), canvas.height(), palette);
    }
    const corvellin::Picture picture = canvas.ToPicture();
    return job.encoding == Encoding::Bmp24 ? corvellin::EncodeBmp(picture) : corvellin::EncodeJpeg(picture, 92);
}

void Generate(const std::string& picDir, const std::vector<MaskJob>& jobs, int threads) {
    namespace fs = std::filesystem;
    for (const MaskJob& job : jobs) {
        std::error_code ec;
        const fs::path folder = job.category == 0 ? fs::path(picDir) : fs::path(picDir) / std::to_string(job.category);
        fs::create_directories(folder, ec);
        if (ec) throw corvellin::Error("Cannot create folder \"" + folder.string() + "\". " + ec.message());
    }
    std::atomic<std::size_t> next{0};
    std::mutex failureLock;
    std::string failure;
    const auto worker = [&] {
        for (std::size_t i; (i = next++) < jobs.size();) {
            const MaskJob& job = jobs[i];
            try {
                const std::vector<std::uint8_t> plain = RenderJob(job);
                if (job.category == 0)
                    corvellin::WriteFileAtomically((fs::path(picDir) / "default.jpg").string(), plain);
                else
                    corvellin::WriteFileAtomically(
                        job.frameMask ? corvellin::FrameMaskFilePath(picDir, job.category, job.number)
                                      : corvellin::MaskFilePath(picDir, job.category, job.number),
                        corvellin::PackMaskBytes(plain));
            } catch (const std::exception& e) {
                const std::lock_guard<std::mutex> lock(failureLock);
                if (failure.empty()) failure = e.what();
                next = jobs.size();
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::max(1, threads); ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    if (!failure.empty()) throw corvellin::Error(failure);
}

}  // namespace maskgen
