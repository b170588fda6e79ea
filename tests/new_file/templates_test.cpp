// The shipped templates: made reproducibly by the script in the repository, and valid Office
// Open XML packages (and, where LibreOffice is installed, documents it opens as their kind).

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "tests/new_file/new_file_test_support.h"

namespace tavrel {
namespace {

using namespace tavrel::testing;

const std::array<const char*, 4> kTemplates = {"empty.docx", "empty.pptx", "empty.txt",
                                               "empty.xlsx"};

fs::path shipped(const std::string& name) {
    return fs::path(sourcePath("resources/templates")) / name;
}

std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t little(std::string_view bytes, std::size_t offset, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value =
            (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    }
    return value;
}

// The parts of a ZIP archive, checked on the way: one central directory entry per local entry,
// matching names and sizes, correct CRCs. Our archives store their entries uncompressed.
std::optional<std::map<std::string, std::string>> unzip(std::string_view archive) {
    constexpr std::size_t kEndSize = 22;
    if (archive.size() < kEndSize) return std::nullopt;
    const std::size_t end = archive.size() - kEndSize;  // no archive comment
    if (little(archive, end, 4) != 0x06054B50) return std::nullopt;
    const std::uint32_t count = little(archive, end + 10, 2);
    std::size_t central = little(archive, end + 16, 4);
    std::map<std::string, std::string> parts;
    for (std::uint32_t entry = 0; entry < count; ++entry) {
        if (central + 46 > end || little(archive, central, 4) != 0x02014B50) return std::nullopt;
        const std::uint32_t method = little(archive, central + 10, 2);
        const std::uint32_t crc = little(archive, central + 16, 4);
        const std::uint32_t size = little(archive, central + 20, 4);
        const std::uint32_t nameLength = little(archive, central + 28, 2);
        const std::uint32_t extra = little(archive, central + 30, 2);
        const std::uint32_t comment = little(archive, central + 32, 2);
        const std::uint32_t local = little(archive, central + 42, 4);
        const std::string name(archive.substr(central + 46, nameLength));
        if (method != 0 || little(archive, central + 24, 4) != size) return std::nullopt;
        if (little(archive, local, 4) != 0x04034B50 ||
            archive.substr(local + 30, little(archive, local + 26, 2)) != name) {
            return std::nullopt;
        }
        const std::size_t data =
            local + 30 + little(archive, local + 26, 2) + little(archive, local + 28, 2);
        const std::string_view bytes = archive.substr(data, size);
        if (bytes.size() != size || crc32(bytes) != crc) return std::nullopt;
        if (!parts.emplace(name, std::string(bytes)).second) return std::nullopt;
        central += 46 + nameLength + extra + comment;
    }
    return parts;
}

struct Element {
    QString namespaceUri;
    QString name;
    std::map<QString, QString> attributes;
};

// Every element of a well-formed XML part, in document order; nothing for malformed XML.
std::optional<std::vector<Element>> elements(const std::string& xml) {
    QXmlStreamReader reader(QByteArray::fromStdString(xml));
    std::vector<Element> found;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement) {
            Element element{reader.namespaceUri().toString(), reader.name().toString(), {}};
            for (const auto& attribute : reader.attributes()) {
                element.attributes[attribute.qualifiedName().toString()] =
                    attribute.value().toString();
            }
            found.push_back(std::move(element));
        }
    }
    if (reader.hasError()) return std::nullopt;
    return found;
}

// What follows the last dot of a part name (".rels" is all extension to a ZIP part name).
std::string extensionOf(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

// "/ppt/slideMasters/../theme/theme1.xml" → "ppt/theme/theme1.xml"
std::string resolve(const std::string& sourceFolder, const std::string& target) {
    const fs::path joined =
        target.front() == '/' ? fs::path(target.substr(1)) : fs::path(sourceFolder) / target;
    return joined.lexically_normal().string();
}

TEST(NewFileTemplatesTest, RegeneratingGivesTheCommittedBytes) {
    TemporaryDirectory output;
    auto runner = platform::makeProcessRunner();
    platform::ProcessRequest request;
    request.executable = TAVREL_PYTHON3;
    request.arguments = {sourcePath("scripts/make-new-file-templates"), output.path().string()};
    request.timeLimit = std::chrono::seconds(60);
    const platform::ProcessResult result = runner->run(request);
    ASSERT_TRUE(result.succeeded()) << result.error << result.standardError;
    EXPECT_EQ(listTree(output.path()),
              std::vector<std::string>(kTemplates.begin(), kTemplates.end()));
    for (const char* name : kTemplates) {
        SCOPED_TRACE(name);
        const auto made = readFile(output.path() / name);
        ASSERT_TRUE(made.has_value());
        EXPECT_TRUE(made == readFile(shipped(name))) << "run scripts/make-new-file-templates";
    }
    EXPECT_EQ(readFile(shipped("empty.txt")), "");
}

TEST(NewFileTemplatesTest, OfficeTemplatesAreCompletePackagesOfTheirKind) {
    const QString word = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
    const QString presentation = "http://schemas.openxmlformats.org/presentationml/2006/main";
    const QString spreadsheet = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QString officeDocument =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
    struct Case {
        const char* name;
        QString rootNamespace;
        QString rootElement;
    };
    for (const Case& c :
         {Case{"empty.docx", word, "document"}, Case{"empty.pptx", presentation, "presentation"},
          Case{"empty.xlsx", spreadsheet, "workbook"}}) {
        SCOPED_TRACE(c.name);
        const auto archive = readFile(shipped(c.name));
        ASSERT_TRUE(archive.has_value());
        const auto parts = unzip(*archive);
        ASSERT_TRUE(parts.has_value()) << "not a sound ZIP archive";
        ASSERT_EQ(parts->begin()->first, "[Content_Types].xml");
        std::map<std::string, std::vector<Element>> xml;
        for (const auto& [name, bytes] : *parts) {
            auto parsed = elements(bytes);
            ASSERT_TRUE(parsed.has_value()) << name << " is not well-formed XML";
            xml[name] = *parsed;
        }

        // Every part has a content type, and every override names a part.
        std::set<std::string> defaults;
        std::set<std::string> overrides;
        for (const Element& element : xml["[Content_Types].xml"]) {
            if (element.name == "Default")
                defaults.insert(element.attributes.at("Extension").toStdString());
            if (element.name == "Override") {
                const std::string part = element.attributes.at("PartName").toStdString();
                EXPECT_TRUE(parts->count(part.substr(1))) << part;
                overrides.insert(part.substr(1));
            }
        }
        for (const auto& [name, bytes] : *parts) {
            if (name == "[Content_Types].xml") continue;
            EXPECT_TRUE(overrides.count(name) || defaults.count(extensionOf(name))) << name;
        }

        // Every relationship points at a part of the package.
        std::optional<std::string> mainPart;
        for (const auto& [name, elementsOfPart] : xml) {
            if (extensionOf(name) != "rels") continue;
            const fs::path relsFolder = fs::path(name).parent_path();            // "ppt/_rels"
            const std::string sourceFolder = relsFolder.parent_path().string();  // "ppt"
            for (const Element& element : elementsOfPart) {
                if (element.name != "Relationship") continue;
                const std::string target =
                    resolve(sourceFolder, element.attributes.at("Target").toStdString());
                EXPECT_TRUE(parts->count(target)) << name << " → " << target;
                if (name == "_rels/.rels" && element.attributes.at("Type") == officeDocument) {
                    mainPart = target;
                }
            }
        }
        ASSERT_TRUE(mainPart.has_value());
        ASSERT_FALSE(xml[*mainPart].empty());
        EXPECT_EQ(xml[*mainPart].front().namespaceUri, c.rootNamespace);
        EXPECT_EQ(xml[*mainPart].front().name, c.rootElement);
    }
}

TEST(NewFileTemplatesTest, LibreOfficeOpensEachAsItsKind) {
    std::optional<fs::path> office;
    for (const char* candidate : {"/usr/bin/soffice", "/usr/bin/libreoffice"}) {
        if (fs::exists(candidate)) office = candidate;
    }
    if (!office) GTEST_SKIP() << "LibreOffice is not installed";
    TemporaryDirectory work;
    auto runner = platform::makeProcessRunner();
    // Converting into the native format of the kind fails unless the document opened as that
    // kind (a broken package would open as plain text in Writer, if at all).
    struct Case {
        const char* name;
        const char* format;
    };
    for (const Case& c :
         {Case{"empty.docx", "odt"}, Case{"empty.xlsx", "ods"}, Case{"empty.pptx", "odp"}}) {
        SCOPED_TRACE(c.name);
        platform::ProcessRequest request;
        request.executable = office->string();
        request.arguments = {"-env:UserInstallation=file://" + (work.path() / "profile").string(),
                             "--headless",
                             "--norestore",
                             "--convert-to",
                             c.format,
                             "--outdir",
                             (work.path() / "out").string(),
                             shipped(c.name).string()};
        request.timeLimit = std::chrono::seconds(180);
        const platform::ProcessResult result = runner->run(request);
        ASSERT_TRUE(result.succeeded()) << result.error << result.standardError;
        const fs::path converted =
            work.path() / "out" / (fs::path(c.name).stem().string() + "." + c.format);
        ASSERT_TRUE(fs::exists(converted)) << result.standardOutput << result.standardError;
        EXPECT_GT(fs::file_size(converted), 0u);
    }
}

}  // namespace
}  // namespace tavrel
