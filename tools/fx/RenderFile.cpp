#include "RenderFile.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "effects/RowBands.h"
#include "effects/RowRangeEffect.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"
#include "picture/Orientation.h"

namespace corvellin::fx {

namespace {

// A JPEG read, changed only by row-range calls and written as JPEG again is
// streamed: one thread decodes while this one applies the calls to every
// band of rows already decoded and encodes the bands already done. Decoding
// and encoding, the bulk of the work, then run side by side on two cores. The
// bytes are those of decode, apply and encode one after the other: the same
// decoder and encoder see the same rows, and the row-range calls give
// ApplyEffect's bytes over any rows. Errors are those of the plain order too:
// a decode error first, then the first mask error, and nothing is written.
//
// A picture stored mirrored left to right (orientation 2) keeps its rows in
// place: the decoder mirrors each row before it hands it on, and it streams
// as above. Any other turn is decoded into a picture of its own, and this
// thread turns each band of stored rows into the upright picture as it
// arrives, while the decoder goes on; as the first upright row needs the
// last stored one, the effects and the encoding start once the decode is
// done, with the turn already behind them.
class StreamedJpegRender {
public:
    StreamedJpegRender(const EffectContext& context, const std::vector<EffectCall>& calls, int orientation)
        : context_(context), calls_(calls), turned_(orientation >= 3 && orientation <= 8), orientation_(orientation) {}

    int width() const { return picture_.width(); }
    int height() const { return picture_.height(); }

    std::vector<std::uint8_t> Run(const std::vector<std::uint8_t>& file) {
        std::thread decoder([&] { Decode(file); });
        std::vector<std::uint8_t> bytes;
        std::exception_ptr callFailure;
        try {
            bytes = PrepareAndEncode();
        } catch (...) {
            callFailure = std::current_exception();
        }
        {
            // A failed call stops nothing on the decoder's side; it is
            // reported only if the file decodes, as in the plain order.
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return finished_; });
        }
        decoder.join();
        if (decodeFailure_) std::rethrow_exception(decodeFailure_);
        if (callFailure) std::rethrow_exception(callFailure);
        return bytes;
    }

private:
    void Decode(const std::vector<std::uint8_t>& file) {
        JpegDecodeProgress progress;
        progress.sized = [&] {
            std::lock_guard<std::mutex> lock(mutex_);
            sized_ = true;
            changed_.notify_all();
        };
        int mirroredRows = 0;
        progress.decoded = [&](int rows) {
            // A mirror keeps rows in place: the decoder mirrors each row it
            // has made before it hands it on.
            if (orientation_ == 2) MirrorRows(picture_, mirroredRows, rows);
            mirroredRows = rows;
            std::lock_guard<std::mutex> lock(mutex_);
            decodedRows_ = rows;
            changed_.notify_all();
        };
        std::exception_ptr failure;
        try {
            DecodeJpegInto(file.data(), file.size(), turned_ ? stored_ : picture_, progress);
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        decodeFailure_ = failure;
        finished_ = true;
        changed_.notify_all();
    }

    // Waits until upright rows [0, rows) are final; false when the decode ended first.
    bool WaitForUprightRows(int rows) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!turned_) {
            changed_.wait(lock, [&] { return decodedRows_ >= rows || finished_; });
            return decodedRows_ >= rows;
        }
        while (UprightRowsDone(orientation_, turnedRows_, stored_) < rows) {
            changed_.wait(lock, [&] { return decodedRows_ > turnedRows_ || finished_; });
            const int decoded = decodedRows_;
            if (decoded == turnedRows_) return false;  // finished without the rows
            // Rows below decodedRows_ are final: the decoder writes only the rows after them.
            lock.unlock();
            OrientRowsInto(stored_, turnedRows_, decoded, orientation_, picture_);
            lock.lock();
            turnedRows_ = decoded;
        }
        return true;
    }

    std::vector<std::uint8_t> PrepareAndEncode() {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return sized_ || finished_; });
            if (!sized_) return {};  // the header did not decode
        }
        if (turned_)
            picture_.resize(UprightWidth(orientation_, stored_.width(), stored_.height()),
                            UprightHeight(orientation_, stored_.width(), stored_.height()));
        const int width = picture_.width(), height = picture_.height();
        std::vector<std::unique_ptr<RowRangeEffect>> effects;
        for (const EffectCall& call : calls_) effects.push_back(PrepareRowRangeEffect(context_, call, width, height));
        int doneRows = 0;
        return EncodeJpeg(picture_, 90, [&](int rows) {
            while (doneRows < rows) {
                const int end = std::min(height, doneRows + kBandRows);
                if (!WaitForUprightRows(end)) return false;
                for (const auto& effect : effects) effect->ApplyRows(picture_, doneRows, end);
                doneRows = end;
            }
            return true;
        });
    }

    const EffectContext& context_;
    const std::vector<EffectCall>& calls_;
    const bool turned_;
    const int orientation_;
    Picture stored_;   // the decoded pixels when they are turned, else unused
    Picture picture_;  // upright: effects and the encoder work on it
    int turnedRows_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool sized_ = false, finished_ = false;
    int decodedRows_ = 0;
    std::exception_ptr decodeFailure_;
};

bool CanStream(PictureFormat in, PictureFormat out, const std::vector<EffectCall>& calls) {
    return in == PictureFormat::Jpeg && out == PictureFormat::Jpeg &&
           std::all_of(calls.begin(), calls.end(), [](const EffectCall& call) { return IsRowRangeEffect(call); });
}

}  // namespace

std::optional<std::string> RenderFile(const EffectContext& context, const std::string& in, const std::string& out,
                                      PictureFormat outFormat, const std::vector<EffectCall>& calls, bool stream,
                                      const PictureLoadOptions& loadOptions) {
    try {
        const PictureFormat inFormat = PictureFormatOfPath(in);
        if (stream && FileExists(in) && CanStream(inFormat, outFormat, calls)) {
            const std::vector<std::uint8_t> file = ReadWholeFile(in);
            PictureMetadata metadata = ReadPictureMetadata(file.data(), file.size(), inFormat);
            metadata.pixelsAsStored = loadOptions.keepOrientation;
            StreamedJpegRender render(context, calls, loadOptions.keepOrientation ? 1 : PictureOrientation(metadata));
            std::vector<std::uint8_t> bytes = render.Run(file);
            if (!metadata.empty())
                bytes = InsertJpegMetadata(bytes, MetadataForSavedPicture(metadata, render.width(), render.height()));
            WriteFileAtomically(out, bytes);
            return std::nullopt;
        }
        Picture picture;
        PictureMetadata metadata;
        std::string boxText;
        if (!LoadPictureFile(in, picture, [&](const std::string& text) { boxText = text; }, &metadata, loadOptions))
            return boxText;
        for (const EffectCall& call : calls) ApplyEffect(context, &picture, call);
        SavePictureFile(out, picture, outFormat, metadata);
        return std::nullopt;
    } catch (const std::exception& error) {
        return std::string(error.what());
    }
}

}  // namespace corvellin::fx
