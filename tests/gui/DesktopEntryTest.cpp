// The desktop entry offers the editor for exactly the picture types it reads.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "picture/PictureFormats.h"

namespace corvellin {
namespace {

TEST(DesktopEntry, OffersEveryReadableTypeAndNoOther) {
    std::ifstream in(CORVELLIN_DESKTOP_FILE);
    ASSERT_TRUE(in) << CORVELLIN_DESKTOP_FILE;
    std::set<std::string> offered;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("MimeType=", 0) != 0) continue;
        std::stringstream list(line.substr(9));
        for (std::string type; std::getline(list, type, ';');)
            if (!type.empty()) offered.insert(type);
    }
    std::set<std::string> read;
    for (const PictureFormatInfo& info : PictureFormats()) read.insert(info.mimeTypes.begin(), info.mimeTypes.end());
    EXPECT_EQ(offered, read);
}

}  // namespace
}  // namespace corvellin
