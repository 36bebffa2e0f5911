// Folder trees of hostile shape: deeper than recursion or a path allows, wider than a screen
// of names, names that are not UTF-8 or that look like the separators of a path-list line.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "cli/cli.h"
#include "common/text_file.h"
#include "library/folder_walk.h"
#include "support/test_files.h"
#include "tree_support.h"

namespace quorvela::hostile {
namespace {

using testing::TempDir;

// A temporary folder for trees of thousands of entries, removed even when deeper than a path
// can name. Memory-backed where the system has such a folder: on a disk mounted with
// online discard, removing 2,000 folders alone takes seconds.
class BigTreeDir {
  public:
    BigTreeDir() {
        const fs::path base = ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "quorvela-tree-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed in " + base.string());
        path_ = pattern;
    }
    ~BigTreeDir() { RemoveTree(path_); }
    BigTreeDir(const BigTreeDir&) = delete;
    BigTreeDir& operator=(const BigTreeDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path_ / name;
    }

  private:
    fs::path path_;
};

// Nests `depth` folders called `name` below `root` and links `photo` into the root and every
// folder whose depth `wanted` accepts, as p.jpg. Works through descriptors, so the chain may
// go deeper than a path can name.
template <class Wanted>
void MakeChain(const fs::path& root, int depth, const char* name, const fs::path& photo, Wanted wanted) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int level = 0;; ++level) {
        if (wanted(level)) {
            ASSERT_EQ(::linkat(AT_FDCWD, photo.c_str(), fd, "p.jpg", 0), 0) << std::strerror(errno);
        }
        if (level == depth) break;
        ASSERT_EQ(::mkdirat(fd, name, 0755), 0) << std::strerror(errno);
        const int child = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        ASSERT_GE(child, 0);
        fd = child;
    }
    ::close(fd);
}

TEST(TreeShapes, TwoThousandFoldersDeepAreAllWalked) {
    BigTreeDir dir;
    const fs::path photo = dir.Write("photo.keep", Photo());
    const fs::path root = dir.path() / "tree";
    fs::create_directory(root);
    MakeChain(root, 2000, "d", photo, [](int level) { return level % 1000 == 0; });
    std::string deepest = root.string();
    for (int i = 0; i < 2000; ++i) deepest += "/d";
    deepest += "/p.jpg";
    ASSERT_LT(deepest.size(), std::size_t{PATH_MAX}) << "the temporary folder's path is too long for this test";

    std::vector<std::string> folders;
    library::CollectFolders(root.string(), folders);
    EXPECT_EQ(folders.size(), 2001U);
    const AnalysisResult result = RunOn(root);
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 3);
    EXPECT_EQ(result.FilesAnalysed, 3);
    EXPECT_TRUE(Lists(result, deepest));
}

TEST(TreeShapes, FoldersBeyondTheLongestPathEndTheWalkNormally) {
    BigTreeDir dir;
    const fs::path photo = dir.Write("photo.keep", Photo());
    const fs::path root = dir.path() / "tree";
    fs::create_directory(root);
    // 2,000 levels of "/dd" name 6,000 characters: the lower half cannot be named by a path.
    MakeChain(root, 2000, "dd", photo, [](int) { return true; });
    // A folder is reached while its path can be named; a photo is read while its own can.
    int reachable = 0;
    int readable = 0;
    for (int level = 0; level <= 2000; ++level) {
        const std::size_t folder = root.string().size() + 3 * static_cast<std::size_t>(level);
        reachable += folder < PATH_MAX ? 1 : 0;
        readable += folder + std::strlen("/p.jpg") < PATH_MAX ? 1 : 0;
    }
    ASSERT_LT(reachable, 2001);
    AnalysisObserver observer;  // one run: the walk through long paths is slow in itself
    const AnalysisResult result = RunOn(root, observer);
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, reachable);
    EXPECT_EQ(result.FilesAnalysed, readable);
    // What lies deeper is said to be left out, not passed over in silence.
    EXPECT_TRUE(std::any_of(result.Messages.begin(), result.Messages.end(), [](const std::string& message) {
        return message.ends_with("could not be read (File name too long).");
    })) << ::testing::PrintToString(result.Messages);
}

// Every entry is named like a photo; one in a hundred is one, the others are empty files, so
// the run stays within seconds under the sanitizers while it lists, counts and opens 100,000.
TEST(TreeShapes, HundredThousandFilesInOneFolder) {
    constexpr int kFiles = 100'000;
    constexpr int kEvery = 100;
    BigTreeDir dir;
    // Hard links of three files (a file takes at most 65,000 links on ext4).
    const fs::path photo = dir.Write("photo.keep", Photo());
    const fs::path empty[] = {dir.Write("empty1.keep", {}), dir.Write("empty2.keep", {})};
    const fs::path root = dir.path() / "wide";
    fs::create_directory(root);
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "IMG_" + std::to_string(i) + (i % 2 ? ".JPG" : ".jpg");
        const fs::path& source = i % kEvery == 0 ? photo : empty[i % 2];
        ASSERT_EQ(::linkat(AT_FDCWD, source.c_str(), fd, name.c_str(), 0), 0) << std::strerror(errno);
    }
    ::close(fd);
    AnalysisSettings settings;
    settings.IncludeSubfolders = false;
    AnalysisObserver observer;  // one run: the many files are the point, not the threads
    const AnalysisResult result = RunOn(root, observer, settings);
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, kFiles);
    EXPECT_EQ(result.FilesAnalysed, kFiles / kEvery);
    ASSERT_EQ(result.Tables[Quantity::FocalLength].size(), 1U);
    EXPECT_EQ(result.Tables[Quantity::FocalLength][0].Count, kFiles / kEvery);
    EXPECT_TRUE(Lists(result, root / "IMG_0.jpg"));
    EXPECT_TRUE(Lists(result, root / "IMG_99900.jpg"));
}

TEST(TreeShapes, NamesThatAreNotUtf8KeepTheirBytes) {
    TempDir dir;
    const fs::path root = dir.path() / "photos";
    // Latin-1, a lone continuation byte, a cut sequence, an encoded surrogate, an overlong "/".
    const std::vector<std::string> names = {"caf\xE9/\xFF\xFE.jpg", "\x80\x81/a.jpg", "\xC3.jpg", "\xED\xA0\x80.jpg",
                                            "\xC0\xAF.jpg"};
    for (const std::string& name : names) dir.Write("photos/" + name, Photo());
    const fs::path pathList = dir.path() / "vt_debug.txt";
    {
        AnalysisObserver observer;
        AnalysisSettings settings;
        settings.RootFolder = root.string();
        analysis::RunEnvironment environment;
        environment.PathListFile = pathList;
        const AnalysisResult result = analysis::StartAnalyzing(settings, environment, observer);
        ExpectCompleteRun(result);
        EXPECT_EQ(result.FilesFound, 5);
        EXPECT_EQ(result.FilesAnalysed, 5);
        // The lines keep the names' own bytes, so a line leads back to its file.
        for (const std::string& name : names) EXPECT_TRUE(Lists(result, root / name)) << name;
        EXPECT_EQ(common::ReadTextLines(pathList), result.PathLines);
    }

    // The command line's JSON stays valid: bytes that are no UTF-8 are replaced there.
    const fs::path table = dir.path() / "cam_equiv.txt";
    common::WriteTextLines(table, {});
    std::ostringstream out;
    std::ostringstream err;
    const int code = cli::runCli({"analyse", root.string(), "--json", "--table", table.string(), "--path-list-file",
                                  pathList.string(), "--decimal-separator", "."},
                                 out, err);
    ASSERT_EQ(code, 0) << err.str();
    const nlohmann::json json = nlohmann::json::parse(out.str());
    EXPECT_EQ(json["filesFound"], 5);
    EXPECT_EQ(json["pathList"].size(), 5U);
}

// Names, and tags inside a photo, may hold line breaks; the path list still has one line per
// photo, in the result and in its file.
TEST(TreeShapes, LineBreaksInNamesAndTagsKeepOneLinePerPhoto) {
    TempDir dir;
    const fs::path root = dir.path() / "photos";
    for (const char* name : {"new\nline.jpg", "carriage\rreturn.jpg", "both\r\n.jpg", "folder\n/a.jpg"}) {
        dir.Write("photos/" + std::string(name), Photo());
    }
    dir.Write("photos/tags.jpg", analysis::test::PhotoBytes({.Make = "Line\nBreak", .Model = "a\rb", .Focal35 = 35}));
    const fs::path pathList = dir.path() / "vt_debug.txt";
    AnalysisObserver observer;
    AnalysisSettings settings;
    settings.RootFolder = root.string();
    analysis::RunEnvironment environment;
    environment.PathListFile = pathList;
    const AnalysisResult result = analysis::StartAnalyzing(settings, environment, observer);
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 5);
    EXPECT_EQ(result.FilesAnalysed, 5);
    for (const std::string& line : result.PathLines) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
    EXPECT_TRUE(Lists(result, root / "new?line.jpg"));  // the break shows as "?"
    EXPECT_EQ(common::ReadTextLines(pathList).size(), 5U);
}

TEST(TreeShapes, FolderNamesWithLineSeparatorsAndPhotoExtensions) {
    TempDir dir;
    const fs::path root = dir.path() / "photos - 2024.jpg";
    const std::vector<std::string> photos = {"a.jpg", "x - y/b.jpg", "holiday.jpg/c.jpg", "z - w.JPG/d - e.jpg",
                                             " - .jpg/ - .jpg"};
    for (const std::string& name : photos) dir.Write("photos - 2024.jpg/" + name, Photo());
    const AnalysisResult result = RunOn(root);
    ExpectCompleteRun(result);
    // Folders named like photos are folders, not photos.
    EXPECT_EQ(result.FilesFound, 5);
    EXPECT_EQ(result.FilesAnalysed, 5);
    for (const std::string& name : photos) EXPECT_TRUE(Lists(result, root / name)) << name;
}

}  // namespace
}  // namespace quorvela::hostile
