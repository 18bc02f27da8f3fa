// The XDG base directory rules behind every per-user folder, as one table.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "platform/UserFolders.h"

namespace corvellin {
namespace {

struct Case {
    const char* what;
    std::map<std::string, std::string> environment;
    std::string accountHome;
    UserFolders expected;
};

using List = std::vector<std::string>;
const List kConfigDirs = {"/etc/xdg"};
const List kDataDirs = {"/usr/local/share", "/usr/share"};

UserFolders Under(const std::string& home) {
    const std::string base = home == "/" ? "" : home;
    return {home, base + "/.config", base + "/.local/share", base + "/.local/state", base + "/.cache", kConfigDirs,
            kDataDirs};
}

UserFolders With(UserFolders folders, std::string UserFolders::*field, const std::string& value) {
    folders.*field = value;
    return folders;
}

TEST(UserFolders, FollowTheBaseDirectoryRules) {
    const Case cases[] = {
        {"defaults under HOME", {{"HOME", "/home/ada"}}, "/home/other", Under("/home/ada")},
        {"trailing slashes dropped", {{"HOME", "/home/ada//"}, {"XDG_DATA_HOME", "/d/"}}, "",
         With(Under("/home/ada"), &UserFolders::data, "/d")},
        {"each home variable", {{"HOME", "/h"}, {"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d"},
                                {"XDG_STATE_HOME", "/s"}, {"XDG_CACHE_HOME", "/k"}},
         "", {"/h", "/c", "/d", "/s", "/k", kConfigDirs, kDataDirs}},
        {"relative and empty values are ignored",
         {{"HOME", "/h"}, {"XDG_CONFIG_HOME", "rel"}, {"XDG_STATE_HOME", ""}, {"XDG_DATA_DIRS", "a:b"}}, "", Under("/h")},
        {"lists keep their absolute entries in order",
         {{"HOME", "/h"}, {"XDG_CONFIG_DIRS", "/x:rel::/y/"}, {"XDG_DATA_DIRS", "/share"}}, "",
         [] {
             UserFolders f = Under("/h");
             f.configDirs = {"/x", "/y"};
             f.dataDirs = {"/share"};
             return f;
         }()},
        {"HOME unset: the account's home", {}, "/home/acct", Under("/home/acct")},
        {"HOME relative: the account's home", {{"HOME", "rel"}}, "/home/acct", Under("/home/acct")},
        {"no HOME and no account: /tmp", {}, "", Under("/tmp")},
        {"HOME is the root", {{"HOME", "/"}}, "", Under("/")},
        {"an XDG home without HOME", {{"XDG_CONFIG_HOME", "/c"}}, "",
         With(Under("/tmp"), &UserFolders::config, "/c")},
    };
    for (const Case& c : cases) {
        const UserFolders got = UserFoldersFrom(
            [&](const char* name) -> std::optional<std::string> {
                const auto found = c.environment.find(name);
                if (found == c.environment.end()) return std::nullopt;
                return found->second;
            },
            c.accountHome);
        EXPECT_EQ(got.home, c.expected.home) << c.what;
        EXPECT_EQ(got.config, c.expected.config) << c.what;
        EXPECT_EQ(got.data, c.expected.data) << c.what;
        EXPECT_EQ(got.state, c.expected.state) << c.what;
        EXPECT_EQ(got.cache, c.expected.cache) << c.what;
        EXPECT_EQ(got.configDirs, c.expected.configDirs) << c.what;
        EXPECT_EQ(got.dataDirs, c.expected.dataDirs) << c.what;
    }
}

TEST(UserFolders, ProgramFolderWritableOnlyForAFolderTheProcessCanWrite) {
    test::TempDir dir;
    EXPECT_TRUE(ProgramFolderWritable(dir.path()));
    EXPECT_TRUE(ProgramFolderWritable(dir.path() + "/"));
    test::WriteBytes(dir.path() + "/file", {1});
    EXPECT_FALSE(ProgramFolderWritable(dir.path() + "/file/"));
    EXPECT_FALSE(ProgramFolderWritable(dir.path() + "/missing/"));
    EXPECT_FALSE(ProgramFolderWritable(""));
}

}  // namespace
}  // namespace corvellin
