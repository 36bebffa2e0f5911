#include "viewer/line_path.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "analysis/path_lines.h"

namespace quorvela::viewer {
namespace {

FileExists Only(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.contains(path); };
}

const FileExists kNone = [](const std::string&) { return false; };

struct LineCase {
    const char* Line;
    const char* Path;
};

class PathFromEngineLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(PathFromEngineLine, FindsThePathTheLineNames) {
    EXPECT_EQ(PathFromLine(GetParam().Line, kNone), GetParam().Path);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PathFromEngineLine,
    ::testing::Values(LineCase{"___50 mm - /photos/a.jpg", "/photos/a.jpg"},
                      LineCase{"___50 mm - /photos/a.jpg - Make: Canon - Model: G2", "/photos/a.jpg"},
                      LineCase{"___50 mm = 50.00 mm - /photos/a.JPG - Make: Canon", "/photos/a.JPG"},
                      LineCase{"ISO _100 - /photos/b.jpeg  - Make: Canon - Model: G2", "/photos/b.jpeg"},
                      LineCase{"ISO _100 - /photos/b.jpeg ", "/photos/b.jpeg"},
                      LineCase{"F5.6 - /photos/c.jpe  - Model: X", "/photos/c.jpe"},
                      LineCase{"__1/250 sec - /photos/d.THM ", "/photos/d.THM"},
                      // A folder named like a photo is part of the path, not its end.
                      LineCase{"___50 mm - /photos/x.jpg/e.jpg - Make: Canon", "/photos/x.jpg/e.jpg"},
                      LineCase{"___50 mm - /photos/a.jpg - Maker Notes -->  Label: ISO Data: 200 - ", "/photos/a.jpg"},
                      LineCase{"ISO _100 - C:\\Photos\\f.JPG  - Make: Canon", "C:\\Photos\\f.JPG"},
                      LineCase{"ISO _100 - \\\\server\\share\\g.jpg ", "\\\\server\\share\\g.jpg"},
                      // No full path, or no photo name: no file.
                      LineCase{"___50 mm - photos/a.jpg", ""}, LineCase{"___50 mm - /photos/readme.txt", ""},
                      LineCase{"", ""}, LineCase{"___50 mm - /photos/a.jpgx", ""},
                      LineCase{"___50 mm - /photos/a.HEIC - Make: Apple", "/photos/a.HEIC"},
                      LineCase{"ISO _400 - /raw/b.cr3 - Make: Canon", "/raw/b.cr3"},
                      LineCase{"ISO _400 - /raw/c.raf", "/raw/c.raf"}, LineCase{"ISO _400 - /raw/d.cr3x", ""}));

TEST(PathFromLine, ANameHoldingABlankOrDashIsFoundWhenTheFileExists) {
    const std::string line = "___50 mm - /p/a.jpg - b.jpg - Make: Canon";
    EXPECT_EQ(PathFromLine(line, Only({"/p/a.jpg - b.jpg"})), "/p/a.jpg - b.jpg");
    EXPECT_EQ(PathFromLine(line, Only({"/p/a.jpg"})), "/p/a.jpg");
    // Nothing exists: the shortest reading.
    EXPECT_EQ(PathFromLine(line, kNone), "/p/a.jpg");
}

TEST(PathFromLine, AFolderWithABlankAndJpgInItsName) {
    const std::string line = "ISO _200 - /p/trip .jpg 2024/h.jpg  - Make: Nikon";
    EXPECT_EQ(PathFromLine(line, Only({"/p/trip .jpg 2024/h.jpg"})), "/p/trip .jpg 2024/h.jpg");
}

TEST(PathFromLine, TheDebugTextBeforeThePathIsSkipped) {
    // The stepped layout has " - " only before the path; a relative text never starts one.
    EXPECT_EQ(PathFromLine("___24 mm = (real length) 7.00 mm - /q/h.jpg", kNone), "/q/h.jpg");
}

// The lines as the engine builds them, for every layout, with and without make and maker notes.
TEST(PathFromLine, EveryLayoutTheEngineBuilds) {
    const std::string path = "/home/ann/Photos 2024/x.jpg/IMG 0001.jpeg";
    const FileExists exists = Only({path});
    for (const std::string& mm : {std::string(), std::string(" - Make: Canon - Model: EOS 5D")}) {
        for (const std::string& mn : {std::string(), std::string(" - Maker Notes -->  Label: ISO Data: 0, 200 - ")}) {
            SCOPED_TRACE(mm + "|" + mn);
            EXPECT_EQ(PathFromLine(analysis::FocalLineStepped("___50", "50.00 mm", path, mm, mn), exists), path);
            EXPECT_EQ(PathFromLine(analysis::FocalLine("___50", path, mm, mn), exists), path);
            EXPECT_EQ(PathFromLine(analysis::IsoLine("100", path, mm, mn), exists), path);
            EXPECT_EQ(PathFromLine(analysis::ApertureLine("F5.6", path, mm, mn), exists), path);
            EXPECT_EQ(PathFromLine(analysis::ShutterLine("1/250", path, mm, mn), exists), path);
        }
    }
}

}  // namespace
}  // namespace quorvela::viewer
