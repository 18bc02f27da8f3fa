// Review aids: the contact sheet of every mask applied to a picture, and a
// timing of the thumbnails and of a large render.
#pragma once

#include <string>

#include "picture/Picture.h"

namespace maskgen {

// Draws text (digits, letters without case, space, '-', ':', '.', '/', and '*' for a times sign)
// with a built-in 5 x 7 pixel font, each font pixel `scale` pixels wide.
void DrawText(corvellin::Picture& picture, int x, int y, const std::string& text, int scale,
              std::uint8_t r, std::uint8_t g, std::uint8_t b);

// One labelled picture (JPEG or BMP by the file's extension): a row per mask
// category (1, 5..15), a column per variation, each cell the picture (the
// start-up picture when pictureFile is empty) stretched to the cell and the
// variation applied. Cells of the thumbnail size show the editor's thumbnail.
void WriteContactSheet(const std::string& file, const std::string& picDir, const std::string& pictureFile = {},
                       int cellWidth = 300, int cellHeight = 200);

// Prints, per category, the time to render its ten 150 x 150 thumbnails (each
// reads and decodes its mask afresh), and the time of one 6000 x 4000 render.
void MeasureThumbnails(const std::string& picDir);

}  // namespace maskgen
