#include "SketchPic.h"

#include "kernels/Sketch.h"

namespace corvellin {

const std::array<SketchColours, 9> kSketchColours = {{
    {0, 0, 0, 255, 255, 255},        // grey pencil on white
    {255, 0, 0, 255, 255, 255},      // red on white
    {0, 255, 0, 255, 255, 255},      // green on white
    {0, 0, 255, 255, 255, 255},      // blue on white
    {255, 0, 255, 255, 255, 255},    // magenta on white
    {0, 0, 155, 255, 255, 155},      // dark blue on pale yellow
    {155, 0, 0, 155, 255, 255},      // dark red on pale cyan
    {0, 155, 0, 255, 155, 255},      // dark green on pale pink
    {0, 0, 155, 155, 255, 155},      // dark blue on pale green
}};

void SketchPic(Picture& picture, int variation, BandPool* bands) {
    if (variation == 9) {
        PencilSketch(picture, false, bands);
        return;
    }
    if (variation < 0 || variation >= static_cast<int>(kSketchColours.size())) return;
    const SketchColours& c = kSketchColours[static_cast<std::size_t>(variation)];
    PencilSketch(picture, true, bands);
    DuotoneMap(picture, c.darkR, c.darkG, c.darkB, c.lightR, c.lightG, c.lightB, bands);
}

}  // namespace corvellin
