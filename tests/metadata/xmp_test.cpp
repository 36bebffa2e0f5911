// XMP packets as editors write them, and as an attacker would: the properties found by
// namespace in every RDF form, every hostile packet answered with a status.

#include "metadata/xmp.h"

#include <expat.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
        "<?xpacket begin='\xEF\xBB\xBF'?><x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
        "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#' xmlns:xmp='http://ns.adobe.com/xap/1.0/'\n"
        " xmlns:aux='http://ns.adobe.com/exif/1.0/aux/' xmlns:exifEX='http://cipa.jp/exif/1.0/'>\n");
    return text.append(body).append("\n</rdf:RDF></x:xmpmeta><?xpacket end='w'?>");
}

// `depth` elements one in the other, the deepest a rating.
std::string Nested(int depth) {
    std::string open;
    for (int i = 1; i < depth; ++i) open += "<a>";
    open += "<Rating>1</Rating>";
    for (int i = 1; i < depth; ++i) open += "</a>";
    return open;
}

// A document type of ten entities, each ten of the one before: 10^10 bytes once expanded.
std::string Bomb() {
    std::string doctype = "<!DOCTYPE x:xmpmeta [<!ENTITY a0 'aaaaaaaaaa'>";
    for (int i = 1; i < 10; ++i) {
        std::string value;
        for (int j = 0; j < 10; ++j) value += "&a" + std::to_string(i - 1) + ";";
        doctype += "<!ENTITY a" + std::to_string(i) + " '" + value + "'>";
    }
    return doctype + "]>";
}

void ExpectValue(const std::optional<std::string>& value, const char* expected, const char* what) {
    EXPECT_EQ(value.value_or("<absent>"), expected == kAbsent ? "<absent>" : expected) << what;
}

struct PacketCase {
    const char* name;
    std::string packet;
    const char* rating;
    const char* label;
    const char* lens;
};

TEST(ParseXmp, FindsThePropertiesByNamespaceInEveryForm) {
    std::string accented;
    for (int i = 0; i < 600; ++i) accented += "\xC3\xA9";  // é, two bytes
    const std::string cut = accented.substr(0, kMaxXmpValueBytes);
    const PacketCase cases[] = {
        {"attributes", Packet("<rdf:Description xmp:Rating='3' xmp:Label='Red'/>"), "3", "Red", kAbsent},
        {"elements", Packet("<rdf:Description><xmp:Rating>-1</xmp:Rating></rdf:Description>"), "-1", kAbsent, kAbsent},
        {"the x-default item of a language alternative",
         Packet("<rdf:Description><exifEX:LensModel><rdf:Alt><rdf:li xml:lang='de'>Objektiv</rdf:li>"
                "<rdf:li xml:lang='x-default'>EF50mm</rdf:li></rdf:Alt></exifEX:LensModel></rdf:Description>"),
         kAbsent, kAbsent, "EF50mm"},
        {"LensModel over an earlier aux:Lens",
         Packet("<rdf:Description aux:Lens='aux'/><rdf:Description exifEX:LensModel='cipa'/>"), kAbsent, kAbsent,
         "cipa"},
        {"aux:Lens under a blank LensModel", Packet("<rdf:Description aux:Lens='aux' exifEX:LensModel=' '/>"), kAbsent,
         kAbsent, "aux"},
        {"other prefixes and a default namespace",
         Packet("<rdf:Description xmlns:a='http://ns.adobe.com/xap/1.0/' a:Rating='4'>"
                "<Label xmlns='http://ns.adobe.com/xap/1.0/'>Green</Label></rdf:Description>"),
         "4", "Green", kAbsent},
        {"the usual prefixes bound elsewhere",
         "<r:RDF xmlns:r='http://www.w3.org/1999/02/22-rdf-syntax-ns#' xmlns:xmp='http://ns.adobe.com/xap/1.1/'"
         " xmlns:aux='http://ns.adobe.com/exif/1.0/'><r:Description xmp:Rating='5' aux:Lens='no'/></r:RDF>",
         kAbsent, kAbsent, kAbsent},
        {"whitespace trimmed, a blank label",
         Packet("<rdf:Description xmp:Rating=' 2 '><xmp:Label>\n\t</xmp:Label><aux:Lens>\n  Summilux 35\t\n"
                "</aux:Lens></rdf:Description>"),
         "2", kAbsent, "Summilux 35"},
        {"the first description's value",
         Packet("<rdf:Description xmp:Rating='2'/><rdf:Description xmp:Rating='5' xmp:Label='Select'/>"), "2", "Select",
         kAbsent},
        {"not a rating inside another property",
         Packet("<rdf:Description><xmp:History><rdf:Seq><rdf:li><rdf:Description xmp:Rating='5'/></rdf:li>"
                "</rdf:Seq></xmp:History></rdf:Description>"),
         kAbsent, kAbsent, kAbsent},
        {"padding NUL bytes", Packet("<rdf:Description xmp:Rating='1'/>") + std::string(8, '\0'), "1", kAbsent,
         kAbsent},
        {"cut at 1 KiB where a character starts",
         Packet("<rdf:Description><aux:Lens>" + accented + "</aux:Lens></rdf:Description>"), kAbsent, kAbsent,
         cut.c_str()},
        {"64 nested elements, the deepest read", Nested(64), kAbsent, kAbsent, kAbsent},
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

// A packet that names none of the properties read is not parsed: it has nothing to give,
// broken or not.
TEST(ParseXmp, PacketsNamingNoPropertyAreNotParsed) {
    for (const std::string& packet : {std::string(), Packet("<rdf:Description xmp:LensInfo='1'/>"),
                                      std::string("<a><b></a>"), "<!DOCTYPE x []>" + Packet("<aux:LensID/>")}) {
        const XmpFacts facts = ParseXmp(packet);
        EXPECT_EQ(facts.Status, XmpStatus::Ok) << packet;
        EXPECT_FALSE(facts.Rating || facts.Label || facts.Lens) << packet;
    }
}

TEST(ParseXmp, AnswersHostileAndBrokenPacketsWithAStatus) {
    const std::string rated = Packet("<rdf:Description xmp:Rating='4'/>");
    const std::pair<std::string, const char*> cases[] = {
        {Bomb() + Packet("<rdf:Description xmp:Label='&a9;'/>"), "declares a document type"},
        {"<!DOCTYPE x [<!ENTITY e SYSTEM 'file:///etc/passwd'>]>" + Packet("<rdf:Description xmp:Label='&e;'/>"),
         "declares a document type"},
        {"<!DOCTYPE x:xmpmeta>" + rated, "declares a document type"},
        {Packet("<rdf:Description xmp:Label='&e;'/>"), "not well-formed"},  // an entity never declared
        {Nested(200), "nested too deeply"},
        {std::string(10'000'000, ' '), "larger than 4 MiB"},
        {"<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
         "<rdf:Description Rating='2'></rdf:RDF>\n</x:xmpmeta>",
         "not well-formed XML (line 3: mismatched tag)"},
        {rated.substr(0, rated.size() - 30), "not well-formed"},  // cut after the rating
        {Packet(std::string("<rdf:Description xmp:Label='R\0d'/>", 34)), "not well-formed"},
        {Packet("<rdf:Description xmp:Label='\xFF\xFE'/>"), "not well-formed"},  // not UTF-8
        {"<Rating>", "not well-formed"},
    };
    for (const auto& [packet, problem] : cases) {
        SCOPED_TRACE(problem);
        const XmpFacts facts = ParseXmp(packet);
        EXPECT_NE(facts.Status, XmpStatus::Ok);
        EXPECT_NE(facts.Problem.find(problem), std::string::npos) << facts.Problem;
        // A refused packet gives nothing, not even what came before the fault.
        EXPECT_FALSE(facts.Rating || facts.Label || facts.Lens);
    }
}

// Document types are refused before expat reads them; its own guard against amplification
// (on by default since expat 2.4) must hold as well.
TEST(ParseXmp, ExpatRefusesEntityAmplificationItself) {
    const std::string bomb = Bomb() + "<x:xmpmeta>&a9;</x:xmpmeta>";
    XML_Parser parser = XML_ParserCreate(nullptr);
    ASSERT_EQ(XML_Parse(parser, bomb.data(), static_cast<int>(bomb.size()), XML_TRUE), XML_STATUS_ERROR);
    EXPECT_EQ(XML_GetErrorCode(parser), XML_ERROR_AMPLIFICATION_LIMIT_BREACH);
    XML_ParserFree(parser);
}

TEST(ReadXmpSidecar, ReadsARegularFileAndRefusesEverythingElse) {
    testing::TempDir dir;
    const std::string packet = Packet("<rdf:Description xmp:Rating='5'/>");
    const auto good = dir.Write("good.xmp", std::vector<std::uint8_t>(packet.begin(), packet.end()));
    std::filesystem::create_symlink(good, dir.path() / "link.xmp");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo.xmp").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "folder.xmp");
    std::filesystem::resize_file(dir.Write("large.xmp", {}), kMaxXmpBytes + 1);  // sparse: nothing written
    const std::pair<std::filesystem::path, const char*> cases[] = {
        {dir.path() / "link.xmp", "symbolic link"},
        {dir.path() / "fifo.xmp", "not a regular file"},  // refused without waiting for a writer
        {dir.path() / "folder.xmp", "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {dir.path() / "missing.xmp", "does not exist"},
        {dir.path() / "large.xmp", "larger than 4 MiB"},
    };
    for (const auto& [path, problem] : cases) {
        SCOPED_TRACE(path.string());
        const XmpFacts facts = ReadXmpSidecar(path.string());
        EXPECT_NE(facts.Status, XmpStatus::Ok);
        EXPECT_NE(facts.Problem.find(problem), std::string::npos) << facts.Problem;
    }
    EXPECT_EQ(ReadXmpSidecar(good.string()).Rating.value_or(""), "5");
}

}  // namespace
}  // namespace quorvela::metadata
