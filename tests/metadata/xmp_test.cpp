// XMP packets as editors write them, and as an attacker would: the properties found by
// namespace in every RDF form, and every hostile packet answered with a status.

#include "metadata/xmp.h"

#include <expat.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "support/test_files.h"

namespace quorvela::metadata {
namespace {

constexpr const char* kAbsent = nullptr;

// A packet whose rdf:RDF holds `body`, with the namespaces the cases use bound as editors do.
std::string Packet(std::string_view body) {
    std::string text(
        "<?xpacket begin='\xEF\xBB\xBF' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
        "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'\n"
        " xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmlns:aux='http://ns.adobe.com/exif/1.0/aux/'\n"
        " xmlns:exifEX='http://cipa.jp/exif/1.0/'>\n");
    text.append(body).append("\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='w'?>");
    return text;
}

void ExpectValue(const std::optional<std::string>& value, const char* expected, const char* what) {
    if (expected == kAbsent) {
        EXPECT_FALSE(value.has_value()) << what << " is '" << value.value_or("") << "'";
    } else {
        EXPECT_EQ(value.value_or("<absent>"), expected) << what;
    }
}

struct PacketCase {
    const char* name;
    std::string packet;
    const char* rating;
    const char* label;
    const char* lens;
};

TEST(ParseXmp, FindsThePropertiesByNamespaceInEveryForm) {
    const std::string longLens(600, 'L');
    std::string accented;
    for (int i = 0; i < 600; ++i) accented.append("\xC3\xA9");  // é, two bytes each
    const std::string cutLens(kMaxXmpValueBytes, 'L');
    const std::string cutAccented = accented.substr(0, kMaxXmpValueBytes);
    const PacketCase cases[] = {
        {"attributes of the description", Packet("<rdf:Description rdf:about='' xmp:Rating='3' xmp:Label='Red'/>"), "3",
         "Red", kAbsent},
        {"child elements",
         Packet("<rdf:Description><xmp:Rating>-1</xmp:Rating><xmp:Label>Blue</xmp:Label>"
                "</rdf:Description>"),
         "-1", "Blue", kAbsent},
        {"lens as a language alternative",
         Packet("<rdf:Description><exifEX:LensModel><rdf:Alt><rdf:li xml:lang='x-default'>EF50mm f/1.8</rdf:li>"
                "</rdf:Alt></exifEX:LensModel></rdf:Description>"),
         kAbsent, kAbsent, "EF50mm f/1.8"},
        {"the x-default item wins over an earlier language",
         Packet("<rdf:Description><aux:Lens><rdf:Alt><rdf:li xml:lang='de-DE'>Objektiv</rdf:li>"
                "<rdf:li xml:lang='x-default'>Lens</rdf:li></rdf:Alt></aux:Lens></rdf:Description>"),
         kAbsent, kAbsent, "Lens"},
        {"aux:Lens alone", Packet("<rdf:Description aux:Lens='XF23mmF1.4 R'/>"), kAbsent, kAbsent, "XF23mmF1.4 R"},
        {"exifEX:LensModel over an earlier aux:Lens",
         Packet("<rdf:Description aux:Lens='aux name'/><rdf:Description exifEX:LensModel='cipa name'/>"), kAbsent,
         kAbsent, "cipa name"},
        {"a blank LensModel leaves aux:Lens",
         Packet("<rdf:Description aux:Lens='aux name'><exifEX:LensModel> </exifEX:LensModel></rdf:Description>"),
         kAbsent, kAbsent, "aux name"},
        {"other prefixes bound to the namespaces",
         Packet("<rdf:Description xmlns:a='http://ns.adobe.com/xap/1.0/' a:Rating='4'>"
                "<Label xmlns='http://ns.adobe.com/xap/1.0/'>Green</Label>"
                "<c:LensModel xmlns:c='http://cipa.jp/exif/1.0/'>RF35mm</c:LensModel></rdf:Description>"),
         "4", "Green", "RF35mm"},
        {"the usual prefixes bound to other namespaces",
         "<r:RDF xmlns:r='http://www.w3.org/1999/02/22-rdf-syntax-ns#' xmlns:xmp='http://ns.adobe.com/xap/1.1/'"
         " xmlns:aux='http://ns.adobe.com/exif/1.0/'><r:Description xmp:Rating='5' aux:Lens='not a lens'/></r:RDF>",
         kAbsent, kAbsent, kAbsent},
        {"whitespace around values, a blank label",
         Packet("<rdf:Description xmp:Rating=' 2 '><xmp:Label>\n\t </xmp:Label>"
                "<aux:Lens>\n   Summilux 35 f/1.4\t\n</aux:Lens></rdf:Description>"),
         "2", kAbsent, "Summilux 35 f/1.4"},
        {"the first description that gives a value wins",
         Packet("<rdf:Description xmp:Rating='2'/><rdf:Description xmp:Rating='5' xmp:Label='Select'/>"), "2", "Select",
         kAbsent},
        {"a rating inside another property's structure is not the photo's",
         Packet("<rdf:Description><xmp:History><rdf:Seq><rdf:li><rdf:Description xmp:Rating='5'/>"
                "</rdf:li></rdf:Seq></xmp:History></rdf:Description>"),
         kAbsent, kAbsent, kAbsent},
        {"character references and an encoding declared",
         "<?xml version='1.0' encoding='ISO-8859-1'?>" +
             Packet("<rdf:Description xmp:Label='Black &amp; White' aux:Lens='Objectif \xE9t\xE9'/>"),
         kAbsent, "Black & White", "Objectif \xC3\xA9t\xC3\xA9"},
        {"padding NUL bytes after the packet", Packet("<rdf:Description xmp:Rating='1'/>") + std::string(8, '\0'), "1",
         kAbsent, kAbsent},
        {"a long value cut at 1 KiB", Packet("<rdf:Description aux:Lens='" + longLens + longLens + "'/>"), kAbsent,
         kAbsent, cutLens.c_str()},
        {"a long value cut where a character starts",
         Packet("<rdf:Description><aux:Lens>" + accented + "</aux:Lens></rdf:Description>"), kAbsent, kAbsent,
         cutAccented.c_str()},
    };
    for (const PacketCase& c : cases) {
        SCOPED_TRACE(c.name);
        const XmpFacts facts = ParseXmp(c.packet);
        EXPECT_EQ(facts.Status, XmpStatus::Ok) << facts.Problem;
        ExpectValue(facts.Rating, c.rating, "rating");
        ExpectValue(facts.Label, c.label, "label");
        ExpectValue(facts.Lens, c.lens, "lens");
    }
}

std::string Nested(int depth) {
    std::string open;
    std::string close;
    for (int i = 0; i < depth; ++i) {
        open.append("<a>");
        close.insert(0, "</a>");
    }
    return open + close;
}

struct HostileCase {
    const char* name;
    std::string packet;
    XmpStatus status;
    const char* problem;
};

TEST(ParseXmp, AnswersHostileAndBrokenPacketsWithAStatus) {
    const std::string laughs =
        "<?xml version='1.0'?><!DOCTYPE lolz [<!ENTITY lol 'lol'>"
        "<!ENTITY lol1 '&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;'>"
        "<!ENTITY lol2 '&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;'>"
        "<!ENTITY lol3 '&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;'>"
        "<!ENTITY lol4 '&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;'>"
        "<!ENTITY lol5 '&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;'>"
        "<!ENTITY lol6 '&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;'>"
        "<!ENTITY lol7 '&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;'>"
        "<!ENTITY lol8 '&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;'>"
        "<!ENTITY lol9 '&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;'>]>" +
        Packet("<rdf:Description xmp:Label='&lol9;'/>");
    const std::string whole = Packet("<rdf:Description xmp:Rating='4'/>");
    const std::string cut = whole.substr(0, whole.size() - 30);
    const HostileCase cases[] = {
        {"entity expansion (billion laughs)", laughs, XmpStatus::Malformed, "declares a document type"},
        {"an external entity",
         "<!DOCTYPE x [<!ENTITY xxe SYSTEM 'file:///etc/passwd'>]>" +
             Packet("<rdf:Description><xmp:Label>&xxe;</xmp:Label></rdf:Description>"),
         XmpStatus::Malformed, "declares a document type"},
        {"a document type without declarations", "<!DOCTYPE x:xmpmeta>" + Packet("<rdf:Description xmp:Rating='3'/>"),
         XmpStatus::Malformed, "declares a document type"},
        {"an entity never declared", Packet("<rdf:Description><xmp:Label>&xxe;</xmp:Label></rdf:Description>"),
         XmpStatus::Malformed, "not well-formed"},
        {"200 nested elements", Nested(200), XmpStatus::Malformed, "nested too deeply"},
        {"65 nested elements", Nested(65), XmpStatus::Malformed, "nested too deeply"},
        {"a packet of 10 MB", std::string(10'000'000, ' '), XmpStatus::TooLarge, "larger than 4 MiB"},
        {"one byte over 4 MiB", std::string(kMaxXmpBytes + 1, ' '), XmpStatus::TooLarge, "larger than 4 MiB"},
        {"mismatched tags, reported with the line",
         "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
         "<rdf:Description></rdf:RDF>\n</x:xmpmeta>",
         XmpStatus::Malformed, "not well-formed XML (line 3"},
        {"cut in the middle, after the rating", cut, XmpStatus::Malformed, "not well-formed"},
        {"a NUL byte inside", Packet(std::string("<rdf:Description xmp:Label='Re\0d'/>", 35)), XmpStatus::Malformed,
         "not well-formed"},
        {"invalid UTF-8", Packet("<rdf:Description xmp:Label='\xFF\xFE'/>"), XmpStatus::Malformed, "not well-formed"},
        {"nothing at all", "", XmpStatus::Malformed, "not well-formed"},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = std::chrono::steady_clock::now();
        const XmpFacts facts = ParseXmp(c.packet);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(facts.Status, c.status);
        EXPECT_NE(facts.Problem.find(c.problem), std::string::npos) << facts.Problem;
        // A refused packet gives nothing, not even what came before the fault.
        EXPECT_FALSE(facts.Rating || facts.Label || facts.Lens);
    }
}

TEST(ParseXmp, ReadsTheDeepestNestingItAllows) {
    const XmpFacts facts = ParseXmp(Nested(64));
    EXPECT_EQ(facts.Status, XmpStatus::Ok) << facts.Problem;
}

// The refusal of document types is the guard; the library's own against amplification must
// hold as well, for whoever parses without it.
TEST(ParseXmp, ExpatRefusesEntityAmplificationItself) {
    std::string bomb = "<!DOCTYPE b [<!ENTITY a0 'aaaaaaaaaa'>";
    for (int i = 1; i < 10; ++i) {
        const std::string previous = "&a" + std::to_string(i - 1) + ";";
        std::string value;
        for (int j = 0; j < 10; ++j) value += previous;
        bomb += "<!ENTITY a" + std::to_string(i) + " '" + value + "'>";
    }
    bomb += "]><b>&a9;</b>";
    XML_Parser parser = XML_ParserCreate(nullptr);
    ASSERT_NE(parser, nullptr);
    const auto status = XML_Parse(parser, bomb.data(), static_cast<int>(bomb.size()), XML_TRUE);
    const XML_Error error = XML_GetErrorCode(parser);
    XML_ParserFree(parser);
    EXPECT_EQ(status, XML_STATUS_ERROR);
    EXPECT_EQ(error, XML_ERROR_AMPLIFICATION_LIMIT_BREACH);
}

struct SidecarCase {
    const char* name;
    std::filesystem::path path;
    XmpStatus status;
    const char* problem;
};

TEST(ReadXmpSidecar, ReadsARegularFileAndRefusesEverythingElse) {
    testing::TempDir dir;
    const std::string packet = Packet("<rdf:Description xmp:Rating='5' xmp:Label='Select'/>");
    const auto good = dir.Write("good.xmp", std::vector<std::uint8_t>(packet.begin(), packet.end()));
    std::filesystem::create_symlink(good, dir.path() / "link.xmp");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo.xmp").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "folder.xmp");
    const auto large = dir.Write("large.xmp", {});
    std::filesystem::resize_file(large, kMaxXmpBytes + 1);  // sparse: no 4 MiB written
    const auto broken = dir.Write("broken.xmp", std::vector<std::uint8_t>(packet.begin(), packet.begin() + 200));
    const SidecarCase cases[] = {
        {"a symbolic link", dir.path() / "link.xmp", XmpStatus::Unreadable, "symbolic link"},
        {"a FIFO, without waiting for a writer", dir.path() / "fifo.xmp", XmpStatus::Unreadable, "not a regular file"},
        {"a folder", dir.path() / "folder.xmp", XmpStatus::Unreadable, "not a regular file"},
        {"a device", "/dev/zero", XmpStatus::Unreadable, "not a regular file"},
        {"no file", dir.path() / "missing.xmp", XmpStatus::Unreadable, "does not exist"},
        {"above 4 MiB", large, XmpStatus::TooLarge, "larger than 4 MiB"},
        {"cut short", broken, XmpStatus::Malformed, "XMP sidecar is not well-formed"},
    };
    for (const SidecarCase& c : cases) {
        SCOPED_TRACE(c.name);
        const XmpFacts facts = ReadXmpSidecar(c.path.string());
        EXPECT_EQ(facts.Status, c.status);
        EXPECT_NE(facts.Problem.find(c.problem), std::string::npos) << facts.Problem;
    }
    const XmpFacts facts = ReadXmpSidecar(good.string());
    EXPECT_EQ(facts.Status, XmpStatus::Ok) << facts.Problem;
    EXPECT_EQ(facts.Rating.value_or(""), "5");
    EXPECT_EQ(facts.Label.value_or(""), "Select");
}

}  // namespace
}  // namespace quorvela::metadata
