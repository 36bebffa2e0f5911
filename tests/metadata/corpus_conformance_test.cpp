// Every photo of the corpus read by our reader and compared with what exiftool reports.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "common/number_format.h"
#include "metadata/img_data.h"
#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

using testing::CorpusDir;
using testing::Truth;

// "399/100" -> the value formatted as the reader's patterns do.
std::string FromRational(const std::string& raw, int precision, int width, char sep) {
    const auto slash = raw.find('/');
    const double num = std::stod(raw.substr(0, slash));
    const double den = std::stod(raw.substr(slash + 1));
    return common::FormatFixed(den == 0 ? 0.0 : num / den, precision, width, sep);
}

struct Comparison {
    const char* tagName;
    std::string expected;
};

std::vector<Comparison> Expectations(const nlohmann::json& truth, char sep) {
    std::vector<Comparison> out;
    auto text = [&](const char* key) -> std::string {
        const auto it = truth.find(key);
        return (it == truth.end() || it->is_null()) ? std::string() : it->get<std::string>();
    };
    if (!text("Make_raw").empty()) out.push_back({"Make", text("Make_raw").substr(0, 50)});
    if (!text("Model_raw").empty()) out.push_back({"Model", text("Model_raw").substr(0, 50)});
    if (!text("FocalLength_raw").empty()) {
        out.push_back({"FocalLength", FromRational(text("FocalLength_raw"), 2, 5, sep) + " mm"});
    }
    if (!text("FNumber_raw").empty()) out.push_back({"FNumber", "F" + FromRational(text("FNumber_raw"), 1, 0, sep)});
    if (!text("ExposureTime_raw").empty()) out.push_back({"ExposureTime", text("ExposureTime_raw") + " sec"});
    if (!text("ISO_raw").empty()) out.push_back({"ISOSpeedRatings", text("ISO_raw")});
    if (truth.value("FocalLengthIn35mmFormat_stored", false)) {
        const double f35 = truth["FocalLengthIn35mmFormat"].get<double>();
        out.push_back({"FocalLengthin35mmFilm", common::FormatFixed(f35, 2, 5, sep) + " mm"});
    }
    if (!text("ExifVersion").empty()) out.push_back({"ExifVersion", "\"" + text("ExifVersion") + "\""});
    return out;
}

TEST(CorpusConformance, RenderedTagsAgreeWithExiftool) {
    QUORVELA_REQUIRE_CORPUS();
    for (const char sep : {'.', ','}) {
        std::map<std::string, std::pair<int, int>> agreement;  // tag -> (agreeing, compared)
        TimgData reader(true, sep);
        for (const auto& [name, truth] : Truth().items()) {
            SCOPED_TRACE(name);
            reader.ReadJpegFile((CorpusDir() / name).string());
            for (const Comparison& c : Expectations(truth, sep)) {
                auto& [agree, compared] = agreement[c.tagName];
                ++compared;
                const std::string got = reader.ExifDirectory ? reader.ExifDirectory->TagTextByName(c.tagName) : "";
                EXPECT_EQ(got, c.expected) << c.tagName;
                if (got == c.expected) ++agree;
            }
        }
        // The figures reported for the reader: every compared value agrees.
        for (const auto& [tag, counts] : agreement) {
            std::printf("[ figures  ] separator '%c' %-22s %3d of %3d agree\n", sep, tag.c_str(), counts.first,
                        counts.second);
        }
        EXPECT_GE(agreement["Make"].second, 100);
        EXPECT_GE(agreement["FocalLength"].second, 100);
    }
}

TEST(CorpusConformance, ExifBlocksAreFoundWhereExiftoolFindsThem) {
    QUORVELA_REQUIRE_CORPUS();
    TimgData reader;
    int withExif = 0;
    for (const auto& [name, truth] : Truth().items()) {
        SCOPED_TRACE(name);
        reader.ReadJpegFile((CorpusDir() / name).string());
        const auto& order = truth["segments"]["order"];
        const bool exifPresent = truth["segments"].value("has_app1_exif", false);
        // The scan only looks at the first five segments for a metadata block.
        int position = 0;
        bool exifEarly = false;
        bool metadataBefore = false;
        for (const auto& segment : order) {
            const std::string s = segment.get<std::string>();
            if (s == "SOI") continue;
            ++position;
            if (s == "APP1:Exif") {
                exifEarly = position < 5 || (position == 5 && metadataBefore);
                break;
            }
            if (s.rfind("APP13", 0) == 0 || s.rfind("COM", 0) == 0) metadataBefore = true;
        }
        if (exifPresent && exifEarly) {
            ++withExif;
            EXPECT_TRUE(reader.HasExifBlock());
            EXPECT_EQ(reader.StatusText, "<none>");
        }
        if (!exifPresent) {
            EXPECT_FALSE(reader.HasExifBlock());
        }
    }
    EXPECT_GE(withExif, 100);
}

// Where exiftool reports no value but our reader finds one, the reason is known.
TEST(CorpusConformance, ValuesExiftoolDoesNotReportAreExplained) {
    QUORVELA_REQUIRE_CORPUS();
    // bad_nomake_01: exiftool gives up on the file over a broken IFD1 pointer; IFD1 is never
    //   followed here, and exiv2 reads the same IFD0 values (FocalLength 24/1 and so on).
    // polaroid_pdc640m_01: the camera stores Make "TEKOM" and Model in its EXIF sub-directory;
    //   one dictionary serves every directory here, so they are read where they stand.
    const std::map<std::string, std::vector<std::string>> explained = {
        {"bad_nomake_01.jpg", {"FocalLength_raw", "FNumber_raw", "ExposureTime_raw", "ISO_raw"}},
        {"polaroid_pdc640m_01.jpg", {"Make_raw", "Model_raw"}},
    };
    const std::pair<const char*, const char*> fields[] = {
        {"FocalLength_raw", "FocalLength"}, {"FNumber_raw", "FNumber"}, {"ExposureTime_raw", "ExposureTime"},
        {"ISO_raw", "ISOSpeedRatings"},     {"Make_raw", "Make"},       {"Model_raw", "Model"}};
    TimgData reader;
    for (const auto& [name, truth] : Truth().items()) {
        reader.ReadJpegFile((CorpusDir() / name).string());
        if (!reader.ExifDirectory) continue;
        for (const auto& [key, tagName] : fields) {
            const auto it = truth.find(key);
            const bool exiftoolHasIt = it != truth.end() && it->is_string() && !it->get<std::string>().empty();
            if (exiftoolHasIt || reader.ExifDirectory->TagTextByName(tagName).empty()) continue;
            const auto known = explained.find(name);
            const bool isExplained = known != explained.end() &&
                                     std::find(known->second.begin(), known->second.end(), key) != known->second.end();
            EXPECT_TRUE(isExplained) << name << ": " << tagName << " = "
                                     << reader.ExifDirectory->TagTextByName(tagName);
        }
    }
}

TEST(CorpusConformance, TextsRenderedOnDemandEqualTextsRenderedDuringTheWalk) {
    QUORVELA_REQUIRE_CORPUS();
    for (const char sep : {'.', ','}) {
        TimgData eager(true, sep);
        TimgData lazy(true, sep);
        lazy.RenderOnDemand = true;
        for (const auto& [name, truth] : Truth().items()) {
            SCOPED_TRACE(name);
            const std::string path = (CorpusDir() / name).string();
            EXPECT_EQ(eager.ReadJpegFile(path), lazy.ReadJpegFile(path));
            ASSERT_EQ(eager.ExifDirectory == nullptr, lazy.ExifDirectory == nullptr);
            if (!eager.ExifDirectory) continue;
            TImageInfo& a = *eager.ExifDirectory;
            TImageInfo& b = *lazy.ExifDirectory;
            ASSERT_EQ(a.TagCount(), b.TagCount());
            for (const TTagEntry& tag : a.Tags) EXPECT_EQ(a.TagTextByName(tag.TagName), b.TagTextByName(tag.TagName));
            for (int group : {0, 1}) {
                a.RewindTagSearch();
                b.RewindTagSearch();
                TTagEntry x;
                TTagEntry y;
                while (a.FindNextTag(group, x)) {
                    ASSERT_TRUE(b.FindNextTag(group, y));
                    EXPECT_EQ(x.Text, y.Text) << x.TagName;
                    EXPECT_FALSE(y.TextPending);
                }
            }
            EXPECT_EQ(a.MakeText, b.MakeText);
            EXPECT_EQ(a.MakerNoteDecoded, b.MakerNoteDecoded);
        }
    }
}

TEST(CorpusConformance, AFocalLengthBeyondTheBlockIsAbsentNotZero) {
    QUORVELA_REQUIRE_CORPUS();
    TimgData reader;
    reader.ReadJpegFile((CorpusDir() / "bad_pentax_kx_01.jpg").string());
    ASSERT_NE(reader.ExifDirectory, nullptr);
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("FocalLength"), "");
    EXPECT_EQ(reader.ExifDirectory->TagTextByName("FocalLengthin35mmFilm"), "82.00 mm");
}

}  // namespace
}  // namespace quorvela::metadata
