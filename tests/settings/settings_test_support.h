#pragma once

// Shared helpers of the settings tests: documents as JSON values and a private directory per
// test.

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "core/settings/settings_environment.h"
#include "core/settings/stored_settings.h"
#include "core/settings/taskbar_settings.h"

namespace tavrel::test {

using Json = nlohmann::json;

inline Json encodedJson(const TaskbarSettings& settings) {
    return Json::parse(settings.encoded().value());
}

inline Json defaultDocument() {
    return encodedJson(TaskbarSettings());
}

// The settings object a document loads into (mapping only, no files).
inline TaskbarSettings loaded(const std::string& bytes) {
    auto record = StoredSettings::decode(bytes);
    EXPECT_TRUE(record.ok()) << (record.ok() ? "" : record.error().message);
    TaskbarSettings settings;
    if (record) settings.map(*record);
    return settings;
}
inline TaskbarSettings loaded(const Json& document) {
    return loaded(document.dump());
}

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// The bytes of a top-level object member of a document as stored: from its name to its closing
// brace (brackets inside strings do not count).
inline std::string storedMember(const std::string& text, const std::string& name) {
    const std::size_t start = text.find('"' + name + '"');
    if (start == std::string::npos) return {};
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (std::size_t i = text.find('{', start); i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && --depth == 0) {
            return text.substr(start, i + 1 - start);
        }
    }
    return {};
}

// A fresh directory for one test, removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        path_ = std::filesystem::path(::testing::TempDir()) / "tavrel-settings" / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace tavrel::test
