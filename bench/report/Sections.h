// The five sections of the report. Each measures its rows and adds them to the table.
#pragma once

#include <string>

#include "Table.h"

namespace corvellin::report {

struct Paths {
    std::string binDir;   // the built program folder: corvellin-fx and pic/
    std::string workDir;  // inside the build folder: the photo, masks, outputs
    std::string self;     // this program, for the thumbnail child processes
    std::string photo;    // workDir + "photo.jpg"
};

// 1. Every kernel on the decoded photo beside memcpy of the same picture.
void KernelRows(const Paths& paths, int repeats, Table& table);

// 2. The ten thumbnails of every category in the editor window, each in a
// fresh process: the first render and the render after switching back.
void ThumbnailRows(const Paths& paths, int processes, Table& table);
// The child's side: prints "<first ms> <again ms>" for one category.
int ThumbnailChild(const std::string& programDir, int category);

// 3. corvellin-fx apply beside ImageMagick and libvips, whole processes.
// 4. A five-effect history through corvellin-fx apply: time and peak memory.
// peerRepeats: the runs of each side in section 3 (ImageMagick takes seconds a run).
void ProcessRows(const Paths& paths, int repeats, int peerRepeats, Table& table, std::string& peerNote);

// 5. A 24 MP PNG and a 12 MP HEIC through corvellin-fx, ImageMagick and
// libvips; the cost of orientation and metadata beside a 24 MP JPEG apply.
void PhotoFormatRows(const Paths& paths, int repeats, int peerRepeats, Table& table, std::string& note);

}  // namespace corvellin::report
