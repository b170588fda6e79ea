#pragma once

// One kind of file the "新建文件" menu can create.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "core/foundation/result.h"

namespace tavrel {

struct NewFileTemplate {
    std::string id;               // "txt", "docx", "pptx", "xlsx" or "custom-<lower-case UUID>"
    std::string displayName;      // the menu item's title
    std::string defaultBaseName;  // the created file's name without extension
    std::string fileExtension;    // without the dot
    bool isEnabled = true;
    bool isBuiltIn = false;
    // A plain file name; when absent, "empty." + fileExtension is used.
    std::optional<std::string> templateFileName;

    friend bool operator==(const NewFileTemplate&, const NewFileTemplate&) = default;

    // The name the template file is looked up under.
    std::string sourceFileName() const;
    // "文本文档 .txt": how the page and a title-only menu item name the kind.
    std::string titleWithExtension() const;
};

// Every field but templateFileName is required and must have its JSON type; templateFileName may
// be absent or null. Extra keys are ignored.
Result<NewFileTemplate> decodeNewFileTemplate(const nlohmann::json& json);
// templateFileName is left out when absent.
nlohmann::json encodeNewFileTemplate(const NewFileTemplate& newFileTemplate);

}  // namespace tavrel
