#include "xmp.h"

#include <expat.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

#include "common/ascii.h"

namespace quorvela::metadata {

// The guard against entity amplification ("billion laughs") came with expat 2.4 and is on by
// default; packets never reach it, since a document type is refused before its entities.
static_assert(XML_MAJOR_VERSION > 2 || (XML_MAJOR_VERSION == 2 && XML_MINOR_VERSION >= 4),
              "expat 2.4 or later is needed");

namespace {

// Expanded names come as "namespace-URI local-name": a local name holds no blank, so the last
// blank splits them, whatever the URI holds.
constexpr XML_Char kSeparator = ' ';
// Elements open at once: real packets nest six or seven deep; a deeper one is refused.
constexpr int kMaxDepth = 64;

constexpr std::string_view kRdfNs = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::string_view kXmlNs = "http://www.w3.org/XML/1998/namespace";

enum class Property { Rating, Label, LensModel, AuxLens, ExtendedGuid };
constexpr std::size_t kPropertyCount = 5;

struct PropertyName {
    std::string_view Namespace;
    std::string_view Local;
    Property Which;
};
constexpr std::array<PropertyName, kPropertyCount> kProperties = {{
    {"http://ns.adobe.com/xap/1.0/", "Rating", Property::Rating},
    {"http://ns.adobe.com/xap/1.0/", "Label", Property::Label},
    {"http://cipa.jp/exif/1.0/", "LensModel", Property::LensModel},
    {"http://ns.adobe.com/exif/1.0/aux/", "Lens", Property::AuxLens},
    {"http://ns.adobe.com/xmp/note/", "HasExtendedXMP", Property::ExtendedGuid},
}};

struct ExpandedName {
    std::string_view Namespace;
    std::string_view Local;
    [[nodiscard]] bool Is(std::string_view ns, std::string_view local) const {
        return Namespace == ns && Local == local;
    }
};

ExpandedName Split(const XML_Char* name) {
    const std::string_view text(name);
    const auto at = text.rfind(kSeparator);
    if (at == std::string_view::npos) return {{}, text};
    return {text.substr(0, at), text.substr(at + 1)};
}

std::optional<Property> PropertyOf(const ExpandedName& name) {
    for (const PropertyName& known : kProperties) {
        if (name.Is(known.Namespace, known.Local)) return known.Which;
    }
    return std::nullopt;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Adds text to a value being gathered: leading whitespace dropped, and nothing beyond a byte
// past the kept size, so a huge text costs no memory.
void AppendBounded(std::string& value, std::string_view text) {
    if (value.empty()) {
        while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
    }
    constexpr std::size_t kGathered = kMaxXmpValueBytes + 1;
    value.append(text.substr(0, kGathered - std::min(value.size(), kGathered)));
}

// The value a gathered text gives: trailing whitespace dropped, cut to kMaxXmpValueBytes
// where a UTF-8 character starts; none when blank.
std::optional<std::string> Finish(std::string value) {
    const auto trim = [&value] {
        while (!value.empty() && IsXmlSpace(value.back())) value.pop_back();
    };
    trim();
    if (value.size() > kMaxXmpValueBytes) {
        std::size_t cut = kMaxXmpValueBytes;
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0U) == 0x80U) --cut;
        value.resize(cut);
        trim();
    }
    if (value.empty()) return std::nullopt;
    return value;
}

// What an open element is to the walk.
enum class Frame : std::uint8_t {
    Other,
    Rdf,          // rdf:RDF
    Description,  // rdf:Description right inside rdf:RDF: its properties are the packet's
    Property,     // an element right inside such a description
    Container,    // rdf:Alt, rdf:Seq or rdf:Bag right inside a property
    Item,         // rdf:li right inside a container
};

// The walk of one packet through expat's callbacks: the properties sought, as attributes of
// an rdf:Description or as its child elements, their text or their container's first item
// (the x-default one of a language alternative). The first value found of each wins.
class PacketReader {
  public:
    explicit PacketReader(XML_Parser parser) : parser_(parser) {}

    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        static_cast<PacketReader*>(self)->Start(name, attributes);
    }
    static void XMLCALL OnEnd(void* self, const XML_Char* /*name*/) { static_cast<PacketReader*>(self)->End(); }
    static void XMLCALL OnText(void* self, const XML_Char* text, int length) {
        static_cast<PacketReader*>(self)->Text(std::string_view(text, static_cast<std::size_t>(length)));
    }
    // A document type could declare entities, even external ones: the packet is refused at its
    // start, before any declaration is read.
    static void XMLCALL OnDoctype(void* self, const XML_Char* /*name*/, const XML_Char* /*system*/,
                                  const XML_Char* /*public*/, int /*internalSubset*/) {
        static_cast<PacketReader*>(self)->Refuse("declares a document type");
    }
    static void XMLCALL OnEntity(void* self, const XML_Char* /*name*/, int /*parameter*/, const XML_Char* /*value*/,
                                 int /*length*/, const XML_Char* /*base*/, const XML_Char* /*system*/,
                                 const XML_Char* /*public*/, const XML_Char* /*notation*/) {
        static_cast<PacketReader*>(self)->Refuse("declares an entity");
    }

    [[nodiscard]] bool Refused() const { return refused_; }
    [[nodiscard]] const std::string& Refusal() const { return refusal_; }
    std::optional<std::string>& Value(Property which) { return values_.at(static_cast<std::size_t>(which)); }

  private:
    void Start(const XML_Char* name, const XML_Char** attributes);
    void End();
    void Text(std::string_view text);
    void Refuse(std::string_view why);
    void TakeAttributes(const XML_Char** attributes);
    void OpenProperty(const ExpandedName& element);
    void CloseItem();
    void CloseProperty();

    XML_Parser parser_;
    // Callbacks may still come after a stop: a refused walk ignores them.
    bool refused_ = false;
    std::string refusal_;
    std::array<Frame, kMaxDepth> frames_{};
    int depth_ = 0;
    std::array<std::optional<std::string>, kPropertyCount> values_;
    std::optional<Property> open_;  // the property element whose value is being gathered
    std::string text_;              // its own text
    bool sawContainer_ = false;     // its value is its container's item, not its text
    std::string itemText_;
    bool itemIsDefault_ = false;
    std::optional<std::string> itemValue_;
    bool itemValueIsDefault_ = false;
};

void PacketReader::Refuse(std::string_view why) {
    if (refused_) return;
    refused_ = true;
    refusal_ = why;
    XML_StopParser(parser_, XML_FALSE);
}

void PacketReader::Start(const XML_Char* name, const XML_Char** attributes) {
    if (refused_) return;
    if (depth_ == kMaxDepth) {
        Refuse("is nested too deeply");
        return;
    }
    const Frame parent = depth_ > 0 ? frames_.at(static_cast<std::size_t>(depth_ - 1)) : Frame::Other;
    const ExpandedName element = Split(name);
    Frame frame = Frame::Other;
    if (element.Is(kRdfNs, "RDF")) {
        frame = Frame::Rdf;
    } else if (parent == Frame::Rdf && element.Is(kRdfNs, "Description")) {
        frame = Frame::Description;
        TakeAttributes(attributes);
    } else if (parent == Frame::Description) {
        frame = Frame::Property;
        OpenProperty(element);
    } else if (parent == Frame::Property && open_ &&
               (element.Is(kRdfNs, "Alt") || element.Is(kRdfNs, "Seq") || element.Is(kRdfNs, "Bag"))) {
        frame = Frame::Container;
        sawContainer_ = true;
    } else if (parent == Frame::Container && open_ && element.Is(kRdfNs, "li")) {
        frame = Frame::Item;
        itemText_.clear();
        itemIsDefault_ = false;
        for (const XML_Char** at = attributes; at[0] != nullptr && at[1] != nullptr; at += 2) {
            if (Split(at[0]).Is(kXmlNs, "lang")) itemIsDefault_ = common::EqualsIgnoreAsciiCase(at[1], "x-default");
        }
    }
    frames_.at(static_cast<std::size_t>(depth_++)) = frame;
}

void PacketReader::TakeAttributes(const XML_Char** attributes) {
    for (const XML_Char** at = attributes; at[0] != nullptr && at[1] != nullptr; at += 2) {
        const auto which = PropertyOf(Split(at[0]));
        if (!which || Value(*which)) continue;
        std::string text;
        AppendBounded(text, at[1]);
        Value(*which) = Finish(std::move(text));
    }
}

void PacketReader::OpenProperty(const ExpandedName& element) {
    open_ = PropertyOf(element);
    if (open_ && Value(*open_)) open_.reset();  // an earlier description gave it
    text_.clear();
    sawContainer_ = false;
    itemValue_.reset();
    itemValueIsDefault_ = false;
}

void PacketReader::Text(std::string_view text) {
    if (refused_ || !open_ || depth_ == 0) return;
    const Frame frame = frames_.at(static_cast<std::size_t>(depth_ - 1));
    if (frame == Frame::Property) AppendBounded(text_, text);
    if (frame == Frame::Item) AppendBounded(itemText_, text);
}

void PacketReader::End() {
    if (refused_ || depth_ == 0) return;
    const Frame frame = frames_.at(static_cast<std::size_t>(--depth_));
    if (frame == Frame::Item && open_) CloseItem();
    if (frame == Frame::Property && open_) CloseProperty();
}

void PacketReader::CloseItem() {
    auto value = Finish(std::move(itemText_));
    itemText_.clear();
    if (!value) return;
    if (!itemValue_ || (itemIsDefault_ && !itemValueIsDefault_)) {
        itemValue_ = std::move(value);
        itemValueIsDefault_ = itemIsDefault_;
    }
}

void PacketReader::CloseProperty() {
    auto value = sawContainer_ ? std::move(itemValue_) : Finish(std::move(text_));
    if (value) Value(*open_) = std::move(value);
    open_.reset();
}

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

std::string Describe(std::string_view what, std::string_view rest) {
    std::string text("the ");
    text.append(what).append(" ").append(rest);
    return text;
}

}  // namespace

XmpFacts XmpRefused(XmpStatus status, std::string problem) {
    XmpFacts facts;
    facts.Status = status;
    facts.Problem = std::move(problem);
    return facts;
}

namespace {

// Whether the packet holds one of the local names read, as a whole name: "Lens" in "aux:Lens="
// or "<aux:Lens>", not in "aux:LensInfo".
bool NamesAProperty(std::string_view packet) {
    constexpr std::string_view kNames[] = {"Rating", "Label", "Lens", "LensModel", "HasExtendedXMP"};
    const auto partOfName = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == '.' || static_cast<unsigned char>(c) >= 0x80;
    };
    for (const std::string_view name : kNames) {
        for (std::size_t at = packet.find(name); at != std::string_view::npos; at = packet.find(name, at + 1)) {
            const std::size_t end = at + name.size();
            if (end < packet.size() && !partOfName(packet[end]) && (at == 0 || !partOfName(packet[at - 1])))
                return true;
        }
    }
    return false;
}

}  // namespace

XmpDocument ParseXmpDocument(std::string_view packet, std::string_view what) {
    if (packet.size() > kMaxXmpBytes)
        return {XmpRefused(XmpStatus::TooLarge, Describe(what, "is larger than 4 MiB")), {}};
    // Writers pad a packet in a TIFF entry or an item with NUL bytes, which no XML holds.
    while (!packet.empty() && packet.back() == '\0') packet.remove_suffix(1);
    // Most packets (an editor's history, a phone's depth map) hold none of the properties read:
    // they are not parsed. A property always shows its local name, as XML writes no name with
    // a character reference.
    if (!NamesAProperty(packet)) return {};
    const std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreateNS(nullptr, kSeparator));
    if (!parser) throw std::bad_alloc();
    PacketReader reader(parser.get());
    XML_SetUserData(parser.get(), &reader);
    XML_SetElementHandler(parser.get(), PacketReader::OnStart, PacketReader::OnEnd);
    XML_SetCharacterDataHandler(parser.get(), PacketReader::OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), PacketReader::OnDoctype);
    XML_SetEntityDeclHandler(parser.get(), PacketReader::OnEntity);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    // No external entity handler is set: expat then never opens what an entity names.
    const XML_Status status = XML_Parse(parser.get(), packet.data(), static_cast<int>(packet.size()), XML_TRUE);
    if (reader.Refused()) return {XmpRefused(XmpStatus::Malformed, Describe(what, reader.Refusal())), {}};
    if (status != XML_STATUS_OK) {
        const XML_Error error = XML_GetErrorCode(parser.get());
        if (error == XML_ERROR_NO_MEMORY) throw std::bad_alloc();
        std::string problem = Describe(what, "is not well-formed XML (line ");
        problem.append(std::to_string(XML_GetCurrentLineNumber(parser.get())))
            .append(": ")
            .append(XML_ErrorString(error))
            .append(")");
        return {XmpRefused(XmpStatus::Malformed, std::move(problem)), {}};
    }
    XmpDocument document;
    document.Facts.Rating = std::move(reader.Value(Property::Rating));
    document.Facts.Label = std::move(reader.Value(Property::Label));
    auto& lensModel = reader.Value(Property::LensModel);
    document.Facts.Lens = lensModel ? std::move(lensModel) : std::move(reader.Value(Property::AuxLens));
    document.ExtendedGuid = reader.Value(Property::ExtendedGuid).value_or(std::string());
    return document;
}

namespace {

struct FileCloser {
    explicit FileCloser(int fd) : Fd(fd) {}
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    ~FileCloser() {
        if (Fd >= 0) ::close(Fd);
    }
    int Fd;
};

// Reads an open file to its end, at most `limit` + 1 bytes; nullopt on a read error.
std::optional<std::string> ReadAll(int fd, std::size_t limit) {
    std::string text(limit + 1, '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
        // A regular file reads short only at its end: no further call to learn that.
        if (done < text.size()) break;
    }
    text.resize(done);
    return text;
}

}  // namespace

XmpFacts ReadXmpSidecar(const std::string& path, FileIdentity* identity) {
    // O_NOFOLLOW: a link named like a sidecar is not followed elsewhere. O_NONBLOCK: a FIFO
    // must not wait for a writer before fstat refuses it.
    const FileCloser file{::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.Fd < 0) {
        const int error = errno;
        if (error == ELOOP) return XmpRefused(XmpStatus::Unreadable, "the XMP sidecar is a symbolic link");
        if (error == ENOENT) return XmpRefused(XmpStatus::Unreadable, "the XMP sidecar does not exist");
        return XmpRefused(XmpStatus::Unreadable, "the XMP sidecar cannot be opened");
    }
    struct stat st {};
    if (::fstat(file.Fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return XmpRefused(XmpStatus::Unreadable, "the XMP sidecar is not a regular file");
    }
    if (identity != nullptr) *identity = IdentityOf(st);
    if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > kMaxXmpBytes) {
        return XmpRefused(XmpStatus::TooLarge, "the XMP sidecar is larger than 4 MiB");
    }
    // The size it has now, and a byte more: a file that grew past the limit since is refused
    // by the parse.
    const auto text = ReadAll(file.Fd, static_cast<std::size_t>(st.st_size));
    if (!text) return XmpRefused(XmpStatus::Unreadable, "the XMP sidecar cannot be read");
    return ParseXmpDocument(*text, "XMP sidecar").Facts;
}

FileIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_ino),
            std::int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec,
            std::int64_t{info.st_ctim.tv_sec} * 1'000'000'000 + info.st_ctim.tv_nsec};
}

}  // namespace quorvela::metadata
