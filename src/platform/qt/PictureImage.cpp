#include "PictureImage.h"

#include <cstring>

namespace corvellin {

QImage PictureToImage(const Picture& picture) {
    if (picture.empty()) return QImage();
    QImage image(picture.width(), picture.height(), QImage::Format_BGR888);
    for (int y = 0; y < picture.height(); ++y) std::memcpy(image.scanLine(y), picture.row(y), picture.stride());
    return image;
}

QColorSpace DisplayColorSpace(const std::vector<std::uint8_t>& icc) {
    if (icc.empty()) return QColorSpace();
    const QColorSpace space =
        QColorSpace::fromIccProfile(QByteArray(reinterpret_cast<const char*>(icc.data()), static_cast<qsizetype>(icc.size())));
    return space.isValid() ? space : QColorSpace();
}

QImage PictureToDisplayImage(const Picture& picture, const QColorSpace& colorSpace) {
    QImage image = PictureToImage(picture);
    if (image.isNull() || !colorSpace.isValid() || colorSpace == QColorSpace(QColorSpace::SRgb)) return image;
    image.setColorSpace(colorSpace);
    image.convertToColorSpace(QColorSpace::SRgb);
    return image;
}

}  // namespace corvellin
