// Entries that are not plain photos in a folder a run walks: links, FIFOs, devices, sockets,
// empty, cut and lying files, sparse files of 4 GiB. Each run ends normally and counts every
// photo-named entry as found, while only real photos are analysed.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "support/test_files.h"
#include "tree_support.h"

namespace quorvela::hostile {
namespace {

using testing::TempDir;

TEST(HostileEntries, DirectorySymlinkCycleIsWalkedOnce) {
    TempDir dir;
    const fs::path root = dir.path();
    fs::create_directories(root / "a" / "b");
    dir.Write("p.jpg", Photo());
    dir.Write("a/p.jpg", Photo());
    dir.Write("a/b/p.jpg", Photo());
    fs::create_directory_symlink(root, root / "a" / "b" / "up");
    fs::create_directory_symlink("..", root / "a" / "b" / "parent");
    fs::create_directory_symlink(root / "a", root / "a" / "self");
    const AnalysisResult result = RunOn(root);
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 3);
    EXPECT_EQ(result.FilesAnalysed, 3);
    for (const char* photo : {"p.jpg", "a/p.jpg", "a/b/p.jpg"}) EXPECT_TRUE(Lists(result, root / photo)) << photo;
}

TEST(HostileEntries, SymlinksToPhotosAreRead) {
    TempDir dir;
    const fs::path outside = dir.Write("outside/p.jpg", Photo());
    const fs::path root = dir.path() / "tree";
    fs::create_directory(root);
    fs::create_symlink(outside, root / "absolute.jpg");
    fs::create_symlink("../outside/p.jpg", root / "relative.JPG");
    fs::create_symlink("absolute.jpg", root / "chain.jpeg");  // a link to a link
    fs::create_symlink(outside, root / "not-a-photo-name.txt");
    const AnalysisResult result = RunOn(root);
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 3);
    EXPECT_EQ(result.FilesAnalysed, 3);
    // The path list names the link the user keeps in the folder, not where it points.
    for (const char* link : {"absolute.jpg", "relative.JPG", "chain.jpeg"})
        EXPECT_TRUE(Lists(result, root / link)) << link;
}

TEST(HostileEntries, DanglingAndLoopingSymlinksCountButAddNothing) {
    TempDir dir;
    dir.Write("good.jpg", Photo());
    fs::create_symlink(dir.path() / "nowhere.jpg", dir.path() / "x.jpg");
    fs::create_symlink("loop.jpg", dir.path() / "loop.jpg");  // resolving it never ends
    fs::create_symlink("nowhere", dir.path() / "folder-link");
    const AnalysisResult result = RunOn(dir.path());
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 3);
    EXPECT_EQ(result.FilesAnalysed, 1);
}

TEST(HostileEntries, FifoAndSocketNamedLikePhotosAreNeverOpened) {
    TempDir dir;
    dir.Write("good.jpg", Photo());
    const fs::path fifo = dir.path() / "fifo.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    const fs::path socketFile = dir.path() / "socket.jpg";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketFile.string().size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketFile.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
    OpenWatch watch({fifo});
    const AnalysisResult result = RunWatched(dir.path());
    ::close(listener);
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 3);
    EXPECT_EQ(result.FilesAnalysed, 1);
    EXPECT_EQ(watch.Opens(), 0) << "the FIFO was opened";
    // The watch does see an open of the FIFO, so the zero above means something.
    ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK));
    EXPECT_EQ(watch.Opens(), 1);
}

TEST(HostileEntries, CharacterDeviceNamedLikeAPhotoIsNeverOpened) {
    TempDir dir;
    dir.Write("good.jpg", Photo());
    const fs::path device = dir.path() / "dev.jpg";
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "cannot make a character device here (mknod needs root): " << std::strerror(errno);
    }
    OpenWatch watch({device});
    const AnalysisResult result = RunWatched(dir.path());
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 2);
    EXPECT_EQ(result.FilesAnalysed, 1);
    EXPECT_EQ(watch.Opens(), 0) << "the device was opened";
    // The watch does see an open of the device, so the zero above means something.
    ::close(::open(device.c_str(), O_RDONLY));
    EXPECT_EQ(watch.Opens(), 1);
}

TEST(HostileEntries, EmptyCutAndLyingFilesCountButAddNothing) {
    TempDir dir;
    const std::vector<std::uint8_t>& photo = Photo();
    const auto cut = [&](std::size_t n) { return std::vector<std::uint8_t>(photo.begin(), photo.begin() + n); };
    std::size_t sos = 0;
    for (std::size_t i = 2; i + 1 < photo.size(); ++i) {
        if (photo[i] == 0xFF && photo[i + 1] == 0xDA) sos = i;
    }
    ASSERT_GT(sos, 20U);
    ASSERT_EQ(photo[2], 0xFF);
    ASSERT_EQ(photo[3], 0xE1);  // the EXIF block comes first
    std::vector<std::uint8_t> lying = photo;
    lying[4] = 0xFF;  // its length runs far past the end of the file
    lying[5] = 0xF0;
    std::vector<std::uint8_t> tooShort = photo;
    tooShort[4] = 0;  // a length that cannot hold its own two bytes
    tooShort[5] = 1;

    dir.Write("good.jpg", photo);
    dir.Write("empty.jpg", {});
    dir.Write("soi-only.jpg", cut(2));
    dir.Write("in-length.jpg", cut(5));
    dir.Write("in-exif.jpg", cut(40));
    dir.Write("lying-length.jpg", lying);
    dir.Write("too-short-length.jpg", tooShort);
    dir.Write("header-only.jpg", cut(sos));  // every segment before the image is whole
    const AnalysisResult result = RunOn(dir.path());
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 8);
    EXPECT_EQ(result.FilesAnalysed, 2);
    EXPECT_TRUE(Lists(result, dir.path() / "good.jpg"));
    EXPECT_TRUE(Lists(result, dir.path() / "header-only.jpg"));
}

TEST(HostileEntries, SparseFourGibibyteFilesAreReadOnlyToTheirHeaders) {
    TempDir dir;
    constexpr off_t kSize = off_t{4} << 30;
    std::vector<std::uint8_t> noImage = Photo();
    for (std::size_t i = 2; i + 1 < noImage.size(); ++i) {
        if (noImage[i] == 0xFF && noImage[i + 1] == 0xDA) {
            noImage.resize(i);  // the segments end; zeros follow where the image would start
            break;
        }
    }
    const std::vector<fs::path> files = {dir.Write("big.jpg", Photo()), dir.Write("big-no-image.jpg", noImage),
                                         dir.Write("big-zeros.jpg", {})};
    for (const fs::path& file : files) {
        ASSERT_EQ(::truncate(file.c_str(), kSize), 0) << std::strerror(errno);
        ASSERT_EQ(fs::file_size(file), static_cast<std::uintmax_t>(kSize));
    }
    const std::uint64_t before = BytesReadByProcess();
    const AnalysisResult result = RunOn(dir.path());
    const std::uint64_t read = BytesReadByProcess() - before;
    ExpectCompleteRun(result);
    EXPECT_EQ(result.FilesFound, 3);
    EXPECT_EQ(result.FilesAnalysed, 2);
    EXPECT_GE(read, Photo().size()) << "reads are accounted";
    EXPECT_LT(read, 4U << 20) << "bytes read for three headers";
}

}  // namespace
}  // namespace quorvela::hostile
