#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include <fstream>

#include "CallParser.h"
#include "TestFiles.h"
#include "effects/Catalogue.h"
#include "effects/MaskFile.h"
#include "picture/JpegCodec.h"
#include "picture/PictureFile.h"

namespace corvellin {
namespace {

TEST(FxCallParser, ParsesCallsAndFillsDefaults) {
    struct Case {
        const char* text;
        EffectCall expected;
    };
    const Case cases[] = {
        {"6:3", {6, 3, -1, 0x008000}},
        {"10:0:17", {10, 0, 17, 0x008000}},
        {"1:9:-1:255", {1, 9, -1, 255}},
        {"1:9::0x0000FF", {1, 9, -1, 0xFF}},
        {"star:3", {6, 3, -1, 0x008000}},
        {"TEXTURE:0", {10, 0, -1, 0x008000}},
        {"lightb:1", {14, 1, -1, 0x008000}},
        {"edge:2::0x0000FF", {11, 2, -1, 0xFF}},
        {"Art:7:50", {4, 7, 50, 0x008000}},
    };
    for (const Case& c : cases) {
        const fx::ParsedCall parsed = fx::ParseEffectCall(c.text);
        ASSERT_TRUE(parsed.call) << c.text << ": " << parsed.error;
        EXPECT_EQ(*parsed.call, c.expected) << c.text;
    }
}

TEST(FxCallParser, ArtParameterDefaultsToTheSliderStartAndStaysInItsRange) {
    EXPECT_EQ(fx::ParseEffectCall("4:7").call->parameter, 50);
    EXPECT_EQ(fx::ParseEffectCall("4:6").call->parameter, 20);
    EXPECT_EQ(fx::ParseEffectCall("4:0").call->parameter, -1);
    EXPECT_EQ(fx::ParseEffectCall("4:7:-255").call->parameter, -255);
    EXPECT_FALSE(fx::ParseEffectCall("4:7:256").call);
    EXPECT_FALSE(fx::ParseEffectCall("4:2:1").call);
    EXPECT_EQ(fx::ParseEffectCall("4:3:99999").call->parameter, 99999);  // no slider: any value
}

TEST(FxCallParser, AMistypedNameSuggestsTheNearest) {
    const std::pair<const char*, const char*> cases[] = {{"stra:3", "'Star'"}, {"presett:1", "'Preset'"},
                                                         {"lightd:0", "'Light"}, {"txture:2", "'Texture'"}};
    for (const auto& [text, hint] : cases) {
        const fx::ParsedCall parsed = fx::ParseEffectCall(text);
        EXPECT_FALSE(parsed.call) << text;
        EXPECT_NE(parsed.error.find(hint), std::string::npos) << parsed.error;
    }
}

TEST(FxCallParser, RejectsMalformedCalls) {
    for (const char* text : {"", "6", "6:", ":3", "0:1", "16:1", "6:10", "6:-1", "x:1", "6:1:2:3:4", "6:1:1.5",
                             "6:1:-1:green", "6:1:-1:0x1000000", "6:1:-1:-5", " 6:1", "6:+1"}) {
        const fx::ParsedCall parsed = fx::ParseEffectCall(text);
        EXPECT_FALSE(parsed.call) << "'" << text << "'";
        EXPECT_FALSE(parsed.error.empty()) << text;
    }
    // Every category of the catalogue is built, so each one's first variation parses.
    for (int category = 1; category <= kCategoryCount; ++category)
        EXPECT_TRUE(fx::ParseEffectCall(std::to_string(category) + ":0").call) << category;
}

struct RunResult {
    int status;
    std::string err;
};

// Runs the real corvellin-fx with the arguments (quoted for the shell).
RunResult RunFx(const std::vector<std::string>& args, const test::TempDir& dir) {
    std::string command = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " >/dev/null 2>'" + dir.file("stderr.txt") + "'";
    const int raw = std::system(command.c_str());
    const auto bytes = test::ReadBytes(dir.file("stderr.txt"));
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(bytes.begin(), bytes.end())};
}

// --version names the path each vectorised kernel takes here, as the flags
// the operating system reports for this processor decide it.
TEST(FxProgram, VersionNamesTheVectorPathsOfThisProcessor) {
    std::string flags;
    {
        std::ifstream cpuinfo("/proc/cpuinfo");
        for (std::string line; std::getline(cpuinfo, line);)
            if (line.rfind("flags", 0) == 0) {
                flags = line + " ";
                break;
            }
    }
    ASSERT_FALSE(flags.empty());
    auto has = [&](const char* flag) { return flags.find(std::string(" ") + flag + " ") != std::string::npos; };
    const bool permute = has("avx512f") && has("avx512bw") && has("avx512vbmi");
    std::string out;
    if (FILE* pipe = ::popen((std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx --version").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        ASSERT_EQ(::pclose(pipe), 0);
    }
    const std::string edge = has("avx2") ? "AVX2" : has("ssse3") ? "SSSE3" : "plain";
    for (const std::string line : {"  Edge and Frame mixes: " + edge,
                                   std::string("  table lookups: ") + (permute ? "AVX-512 VBMI byte permutes" : "portable"),
                                   std::string("  saturation: ") + (permute ? "AVX-512 VBMI" : "arithmetic"),
                                   std::string("  colour dodge: ") + (permute ? "AVX-512 VBMI" : "plain")})
        EXPECT_NE(out.find(line + "\n"), std::string::npos) << line << "\n" << out;
}

TEST(FxProgram, ApplyWritesWhatTheEngineComputes) {
    test::TempDir dir;
    const Picture photo = test::RandomPicture(120, 80, 8);
    SavePictureFile(dir.file("in.bmp"), photo, PictureFormat::Bmp);
    test::WriteMaskFile(dir.file("pic"), 6, 4, test::RandomPicture(50, 40, 9));
    test::WriteMaskFile(dir.file("pic"), 10, 1, test::RandomPicture(50, 40, 10), false);

    const RunResult run = RunFx({"apply", "--pic-dir", dir.file("pic"), dir.file("in.bmp"), dir.file("out.jpg"), "6:3", "10:0"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EffectContext context{dir.file("pic"), std::nullopt};
    Picture expected = photo;
    ApplyEffect(context, &expected, EffectCall{6, 3, -1, kDefaultEdgeColour});
    ApplyEffect(context, &expected, EffectCall{10, 0, -1, kDefaultEdgeColour});
    EXPECT_EQ(test::ReadBytes(dir.file("out.jpg")), EncodeJpeg(expected, 90));

    // No calls: a plain conversion.
    ASSERT_EQ(RunFx({"apply", dir.file("in.bmp"), dir.file("copy.BMP")}, dir).status, 0);
    EXPECT_EQ(DecodePictureFile(dir.file("copy.BMP"), PictureFormat::Bmp), photo);
}

// apply on several threads (bands, and a JPEG decoded and encoded side by
// side) must write the bytes and report the errors of apply -j 1, which runs
// decode, calls and encode one after the other on one thread.
TEST(FxProgram, ApplyOnSeveralThreadsWritesAndFailsLikeOneThread) {
    test::TempDir dir;
    const std::string pic = dir.file("pic");
    test::WriteMaskFile(pic, 1, 1, test::RandomPicture(50, 40, 1), false);
    test::WriteMaskFile(pic, 10, 2, test::RandomPicture(64, 48, 2));
    test::WriteMaskFile(pic, 11, 3, test::RandomPicture(31, 77, 3), false);
    test::WriteMaskFile(pic, 12, 4, test::RandomPicture(90, 60, 4));
    test::WriteBytes(FrameMaskFilePath(pic, 12, 4), PackMaskBytes(EncodeJpeg(test::RandomPicture(45, 30, 5), 95)));
    // 1000 rows: many bands and encoder groups, and a last band of 40 rows.
    const auto good = EncodeJpeg(test::RandomPicture(333, 1000, 6), 90);
    test::WriteBytes(dir.file("good.jpg"), good);
    // Cut inside the scan: the decoder fails after some rows are out.
    test::WriteBytes(dir.file("cut.jpg"), std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() * 2 / 3)));
    SavePictureFile(dir.file("good.bmp"), test::RandomPicture(70, 130, 7), PictureFormat::Bmp);

    const struct {
        const char* in;
        const char* out;
        std::vector<std::string> calls;
    } cases[] = {
        {"good.jpg", "o.jpg", {}},
        {"good.jpg", "o.jpg", {"art:9"}},
        {"good.jpg", "o.jpg", {"1:0", "2:3", "10:1", "11:2::0x123456", "12:3", "art:6:55", "art:7:-40", "art:8:300"}},
        {"good.jpg", "o.jpg", {"art:0", "art:3", "art:5:7", "1:0"}},      // rows not independent: bands only
        {"good.jpg", "o.jpg", {"sketch:9", "art:2:5", "art:4:3"}},       // sequential kernels
        {"good.jpg", "o.bmp", {"1:0", "art:9"}},                          // BMP out: bands only
        {"good.bmp", "o.jpg", {"1:0", "art:1"}},
        {"cut.jpg", "o.jpg", {"1:0"}},                                    // decode error
        {"cut.jpg", "o.jpg", {"6:0"}},                                    // decode error before the missing mask's
        {"good.jpg", "o.jpg", {"2:1", "6:0"}},                            // missing mask: nothing written
        {"good.jpg", "o.jpg", {"12:0"}},                                  // missing frame mask
    };
    for (const auto& c : cases) {
        std::string joined = std::string(c.in) + " ->";
        for (const auto& call : c.calls) joined += " " + call;
        std::vector<RunResult> runs;
        std::vector<std::vector<std::uint8_t>> outputs;
        for (const char* threads : {"1", "2", "3"}) {
            std::filesystem::remove(dir.file(c.out));
            std::vector<std::string> args = {"apply", "-j", threads, "--pic-dir", pic, "--seed", "7", dir.file(c.in), dir.file(c.out)};
            args.insert(args.end(), c.calls.begin(), c.calls.end());
            runs.push_back(RunFx(args, dir));
            outputs.push_back(std::filesystem::exists(dir.file(c.out)) ? test::ReadBytes(dir.file(c.out))
                                                                       : std::vector<std::uint8_t>{});
        }
        for (std::size_t i = 1; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].status, runs[0].status) << joined << "\n" << runs[i].err;
            EXPECT_EQ(runs[i].err, runs[0].err) << joined;
            EXPECT_TRUE(outputs[i] == outputs[0]) << joined << ": the output differs with more threads";
        }
        EXPECT_EQ(runs[0].status == 0, !outputs[0].empty()) << joined << "\n" << runs[0].err;
    }
    // The cases that must fail do, with their own reasons.
    const RunResult cut = RunFx({"apply", "--pic-dir", pic, dir.file("cut.jpg"), dir.file("o.jpg"), "6:0"}, dir);
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.err.find("Cannot open file"), std::string::npos) << "the decode error comes first: " << cut.err;
    const RunResult mask = RunFx({"apply", "--pic-dir", pic, dir.file("good.jpg"), dir.file("o.jpg"), "2:1", "6:0"}, dir);
    EXPECT_EQ(mask.status, 1);
    EXPECT_NE(mask.err.find("Cannot open file"), std::string::npos) << mask.err;
}

TEST(FxProgram, ExitStatusTellsErrorsFromBadArguments) {
    test::TempDir dir;
    SavePictureFile(dir.file("in.bmp"), test::RandomPicture(8, 8), PictureFormat::Bmp);
    const struct {
        std::vector<std::string> args;
        int status;
        const char* errContains;
    } cases[] = {
        {{}, 2, "usage:"},
        {{"frobnicate"}, 2, "unknown command"},
        {{"apply", dir.file("in.bmp")}, 2, "usage:"},
        {{"apply", dir.file("in.bmp"), dir.file("out.webp")}, 2, ".jpg, .jpeg, .bmp or .png"},
        {{"apply", dir.file("in.bmp"), dir.file("out.jpg"), "16:0"}, 2, "unknown category"},
        {{"apply", dir.file("in.bmp"), dir.file("out.jpg"), "6:10"}, 2, "variation"},
        {{"apply", dir.file("in.bmp"), dir.file("out.jpg"), "6:1:-1:red"}, 2, "colour"},
        {{"apply", "--seed", "x", dir.file("in.bmp"), dir.file("out.jpg")}, 2, "--seed"},
        {{"apply", "-j", "0", dir.file("in.bmp"), dir.file("out.jpg")}, 2, "-j takes"},
        {{"apply", "-j", dir.file("in.bmp"), dir.file("out.jpg")}, 2, "-j takes"},
        {{"apply", dir.file("none.jpg"), dir.file("out.jpg")}, 1, "Picture does not exists!\n"},
        {{"apply", "--pic-dir", dir.file("nopic"), dir.file("in.bmp"), dir.file("out.jpg"), "1:0"}, 1, "Cannot open file"},
        {{"apply", dir.file("in.bmp"), dir.file("nofolder/out.jpg")}, 1, "Cannot create file"},
        {{"mask-pack", dir.file("in.bmp")}, 2, "usage:"},
        {{"mask-unpack", dir.file("none.gph"), dir.file("x.bmp")}, 1, "Cannot open file"},
        {{"--help"}, 0, ""},
        {{"list"}, 0, ""},
        {{"list", "extra"}, 2, "no arguments"},
    };
    for (const auto& c : cases) {
        const RunResult run = RunFx(c.args, dir);
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        EXPECT_EQ(run.status, c.status) << joined << "\n" << run.err;
        EXPECT_NE(run.err.find(c.errContains), std::string::npos) << joined << "\n" << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.jpg")));
}

TEST(FxProgram, MaskPackAndUnpackRestoreTheBytes) {
    test::TempDir dir;
    const auto jpeg = EncodeJpeg(test::RandomPicture(32, 32), 90);
    test::WriteBytes(dir.file("mask.jpg"), jpeg);
    ASSERT_EQ(RunFx({"mask-pack", dir.file("mask.jpg"), dir.file("mask.gph")}, dir).status, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("mask.gph")), PackMaskBytes(jpeg));
    ASSERT_EQ(RunFx({"mask-unpack", dir.file("mask.gph"), dir.file("back.jpg")}, dir).status, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("back.jpg")), jpeg);

    auto exif = jpeg;
    exif[3] = 0xE1;
    test::WriteBytes(dir.file("exif.jpg"), exif);
    const RunResult run = RunFx({"mask-pack", dir.file("exif.jpg"), dir.file("exif.gph")}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("FF D8 FF E0 00"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace corvellin
