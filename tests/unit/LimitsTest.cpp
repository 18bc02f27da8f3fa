// The size limits of picture/Limits.h at their edges: a file at a limit is
// read whole, one byte more is refused before anything is allocated.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "TestFiles.h"
#include "picture/Error.h"
#include "picture/FileIO.h"
#include "picture/Limits.h"
#include "settings/Ini.h"

namespace corvellin {
namespace {

TEST(Limits, IniFilesAreReadUpToTheirLimitAndEmptyPastIt) {
    test::TempDir dir;
    const std::string head = "[Language]\nindex=7\n";
    struct Case {
        std::size_t size;
        int index;  // what the file gives
    };
    const Case cases[] = {{head.size(), 7}, {kMaxIniFileBytes, 7}, {kMaxIniFileBytes + 1, -1}};
    for (const Case& c : cases) {
        std::string text = head;
        text.resize(c.size, ';');
        const std::string path = dir.file("cfg.ini");
        test::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
        EXPECT_EQ(ReadIniFileText(path).size(), c.index == -1 ? 0u : c.size) << c.size;
        EXPECT_EQ(IniFile::Load(path).ReadInteger("Language", "index", -1), c.index) << c.size;
    }
}

TEST(Limits, AFileLargerThanTheReadLimitIsRefusedWithItsPath) {
    test::TempDir dir;
    const std::string path = dir.file("huge.bmp");
    test::WriteSparseFile(path, kMaxReadFileBytes + 1);
    try {
        ReadWholeFile(path);
        FAIL() << "the file was read";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot read file \"" + path + "\". It is larger than 1024 MiB, the most this editor reads.");
    }
}

}  // namespace
}  // namespace corvellin
