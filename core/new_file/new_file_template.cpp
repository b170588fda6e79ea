#include "core/new_file/new_file_template.h"

namespace tavrel {
namespace {

using Json = nlohmann::json;

Result<std::string> requiredString(const Json& json, const char* key) {
    auto it = json.find(key);
    if (it == json.end()) return Error{std::string("missing \"") + key + "\""};
    if (!it->is_string()) return Error{std::string("\"") + key + "\" is not a string"};
    return it->get<std::string>();
}

Result<bool> requiredBool(const Json& json, const char* key) {
    auto it = json.find(key);
    if (it == json.end()) return Error{std::string("missing \"") + key + "\""};
    if (!it->is_boolean()) return Error{std::string("\"") + key + "\" is not a boolean"};
    return it->get<bool>();
}

}  // namespace

std::string NewFileTemplate::sourceFileName() const {
    return templateFileName ? *templateFileName : "empty." + fileExtension;
}

std::string NewFileTemplate::titleWithExtension() const {
    return displayName + " ." + fileExtension;
}

Result<NewFileTemplate> decodeNewFileTemplate(const Json& json) {
    if (!json.is_object()) return Error{"a template is not an object"};
    NewFileTemplate decoded;
    struct StringField {
        const char* key;
        std::string NewFileTemplate::*field;
    };
    for (const StringField& string :
         {StringField{"id", &NewFileTemplate::id},
          StringField{"displayName", &NewFileTemplate::displayName},
          StringField{"defaultBaseName", &NewFileTemplate::defaultBaseName},
          StringField{"fileExtension", &NewFileTemplate::fileExtension}}) {
        auto value = requiredString(json, string.key);
        if (!value) return value.error();
        decoded.*string.field = std::move(value).value();
    }
    auto isEnabled = requiredBool(json, "isEnabled");
    if (!isEnabled) return isEnabled.error();
    decoded.isEnabled = *isEnabled;
    auto isBuiltIn = requiredBool(json, "isBuiltIn");
    if (!isBuiltIn) return isBuiltIn.error();
    decoded.isBuiltIn = *isBuiltIn;

    auto fileName = json.find("templateFileName");
    if (fileName != json.end() && !fileName->is_null()) {
        if (!fileName->is_string()) return Error{"\"templateFileName\" is not a string"};
        decoded.templateFileName = fileName->get<std::string>();
    }
    return decoded;
}

Json encodeNewFileTemplate(const NewFileTemplate& newFileTemplate) {
    Json json = Json::object();
    json["id"] = newFileTemplate.id;
    json["displayName"] = newFileTemplate.displayName;
    json["defaultBaseName"] = newFileTemplate.defaultBaseName;
    json["fileExtension"] = newFileTemplate.fileExtension;
    json["isEnabled"] = newFileTemplate.isEnabled;
    json["isBuiltIn"] = newFileTemplate.isBuiltIn;
    if (newFileTemplate.templateFileName) {
        json["templateFileName"] = *newFileTemplate.templateFileName;
    }
    return json;
}

}  // namespace tavrel
