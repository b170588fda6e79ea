// The built Nautilus module loaded in a test host, as Nautilus loads it, and asked for menus on
// fake file infos (our own implementation of the NautilusFileInfo interface).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gio/gio.h>
#include <glib-object.h>
#include <gmodule.h>

extern "C" {
#include <nautilus-extension.h>
}

#include <nlohmann/json.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/foundation/base64.h"
#include "core/new_file/new_file_settings.h"
#include "tests/new_file/glib_test_support.h"
#include "tests/new_file/new_file_test_support.h"

namespace tavrel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace tavrel::testing;

// --- A file info of our own -------------------------------------------------------------

struct FakeFileInfo {
    GObject parent;
    gchar* uri;
};
struct FakeFileInfoClass {
    GObjectClass parent;
};

GObjectClass* fakeFileInfoParent = nullptr;

GFile* fakeGetLocation(NautilusFileInfo* info) {
    return g_file_new_for_uri(reinterpret_cast<FakeFileInfo*>(info)->uri);
}

void fakeFinalize(GObject* object) {
    g_free(reinterpret_cast<FakeFileInfo*>(object)->uri);
    fakeFileInfoParent->finalize(object);
}

GType fakeFileInfoType() {
    static GType type = [] {
        const GTypeInfo info = {sizeof(FakeFileInfoClass),
                                nullptr,
                                nullptr,
                                [](gpointer klass, gpointer) {
                                    fakeFileInfoParent =
                                        G_OBJECT_CLASS(g_type_class_peek_parent(klass));
                                    G_OBJECT_CLASS(klass)->finalize = fakeFinalize;
                                },
                                nullptr,
                                nullptr,
                                sizeof(FakeFileInfo),
                                0,
                                nullptr,
                                nullptr};
        const GType registered = g_type_register_static(G_TYPE_OBJECT, "TavrelTestFileInfo", &info,
                                                        static_cast<GTypeFlags>(0));
        const GInterfaceInfo fileInfo = {
            [](gpointer iface, gpointer) {
                static_cast<NautilusFileInfoInterface*>(iface)->get_location = fakeGetLocation;
            },
            nullptr, nullptr};
        g_type_add_interface_static(registered, NAUTILUS_TYPE_FILE_INFO, &fileInfo);
        return registered;
    }();
    return type;
}

NautilusFileInfo* fileInfo(const std::string& uriOrPath) {
    auto* info = static_cast<FakeFileInfo*>(g_object_new(fakeFileInfoType(), nullptr));
    GFile* file = uriOrPath.find("://") == std::string::npos
                      ? g_file_new_for_path(uriOrPath.c_str())
                      : g_file_new_for_uri(uriOrPath.c_str());
    info->uri = g_file_get_uri(file);
    g_object_unref(file);
    return NAUTILUS_FILE_INFO(info);
}

// --- The host: loads the module the way Nautilus does -------------------------------------

struct HostModule {
    GTypeModule parent;
    GModule* library;
};
struct HostModuleClass {
    GTypeModuleClass parent;
};

using InitializeFunction = void (*)(GTypeModule*);
using ListTypesFunction = void (*)(const GType**, int*);

std::string modulePath() {
    return std::string(TAVREL_BINARY_DIR) +
           "/bundles/TavrelNewFileFinderSync.app/Contents/MacOS/libtavrel-new-file-nautilus.so";
}

gboolean hostLoad(GTypeModule* module) {
    auto* host = reinterpret_cast<HostModule*>(module);
    host->library = g_module_open(
        modulePath().c_str(), static_cast<GModuleFlags>(G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL));
    gpointer initialize = nullptr;
    if (!host->library ||
        !g_module_symbol(host->library, "nautilus_module_initialize", &initialize)) {
        return FALSE;
    }
    reinterpret_cast<InitializeFunction>(initialize)(module);
    return TRUE;
}

void hostUnload(GTypeModule*) {}  // the module stays resident

GType hostModuleType() {
    static GType type = [] {
        const GTypeInfo info = {sizeof(HostModuleClass),
                                nullptr,
                                nullptr,
                                [](gpointer klass, gpointer) {
                                    G_TYPE_MODULE_CLASS(klass)->load = hostLoad;
                                    G_TYPE_MODULE_CLASS(klass)->unload = hostUnload;
                                },
                                nullptr,
                                nullptr,
                                sizeof(HostModule),
                                0,
                                nullptr,
                                nullptr};
        return g_type_register_static(G_TYPE_TYPE_MODULE, "TavrelTestHostModule", &info,
                                      static_cast<GTypeFlags>(0));
    }();
    return type;
}

// The provider type the module registers; 0 when it did not load.
GType providerType() {
    static GType type = [] {
        GTypeModule* module = G_TYPE_MODULE(g_object_new(hostModuleType(), nullptr));
        if (!g_type_module_use(module)) return GType(0);
        gpointer listTypes = nullptr;
        if (!g_module_symbol(reinterpret_cast<HostModule*>(module)->library,
                             "nautilus_module_list_types", &listTypes)) {
            return GType(0);
        }
        const GType* types = nullptr;
        int count = 0;
        reinterpret_cast<ListTypesFunction>(listTypes)(&types, &count);
        return count == 1 ? types[0] : GType(0);
    }();
    return type;
}

// --- Reading what the module returns -------------------------------------------------------

std::string property(gpointer object, const char* name) {
    gchar* value = nullptr;
    g_object_get(object, name, &value, nullptr);
    std::string text = value ? value : "";
    g_free(value);
    return text;
}

struct Menu {
    std::string name;
    std::string label;
    std::string icon;
    std::vector<std::string> titles;
    std::vector<NautilusMenuItem*> items;  // the submenu's, referenced

    ~Menu() {
        for (NautilusMenuItem* item : items) g_object_unref(item);
    }
    void activate(const std::string& title) {
        for (NautilusMenuItem* item : items) {
            if (property(item, "label") == title) nautilus_menu_item_activate(item);
        }
    }
};

std::unique_ptr<Menu> readMenu(GList* list) {
    if (!list) return nullptr;
    auto menu = std::make_unique<Menu>();
    EXPECT_EQ(g_list_length(list), 1u);
    auto* root = NAUTILUS_MENU_ITEM(list->data);
    menu->name = property(root, "name");
    menu->label = property(root, "label");
    menu->icon = property(root, "icon");
    NautilusMenu* submenu = nullptr;
    g_object_get(root, "menu", &submenu, nullptr);
    if (submenu) {
        GList* items = nautilus_menu_get_items(submenu);
        for (GList* item = items; item; item = item->next) {
            menu->titles.push_back(property(item->data, "label"));
            menu->items.push_back(NAUTILUS_MENU_ITEM(g_object_ref(item->data)));
        }
        nautilus_menu_item_list_free(items);
        g_object_unref(submenu);
    }
    g_list_free_full(list, g_object_unref);
    return menu;
}

class NautilusExtensionTest : public ::testing::Test {
protected:
    void SetUp() override {
        actAsExtension();  // this process's view of the paths is the extension's
        ASSERT_NE(providerType(), GType(0)) << "cannot load " << modulePath();
        fs::create_directories(folder());
        fs::create_directories(homeDesktop());
    }
    void TearDown() override {
        if (provider_) g_object_unref(provider_);
    }

    NautilusMenuProvider* provider() {
        if (!provider_) {
            provider_ = NAUTILUS_MENU_PROVIDER(g_object_new(providerType(), nullptr));
            // The provider subscribed on the process's bus connection; a round trip makes sure
            // the bus knows before anyone posts.
            GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
            GVariant* reply = g_dbus_connection_call_sync(
                bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Peer",
                "Ping", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
            if (reply) g_variant_unref(reply);
            g_object_unref(bus);
        }
        return provider_;
    }
    std::unique_ptr<Menu> backgroundMenu(const fs::path& folderPath) {
        NautilusFileInfo* info = fileInfo(folderPath.string());
        auto menu = readMenu(nautilus_menu_provider_get_background_items(provider(), info));
        g_object_unref(info);
        return menu;
    }
    std::unique_ptr<Menu> fileMenu(const std::vector<std::string>& files) {
        GList* list = nullptr;
        for (const std::string& file : files) list = g_list_append(list, fileInfo(file));
        auto menu = readMenu(nautilus_menu_provider_get_file_items(provider(), list));
        g_list_free_full(list, g_object_unref);
        return menu;
    }

    fs::path root() const { return root_.path(); }
    fs::path folder() const { return root() / "folder"; }
    static fs::path homeDesktop() { return fs::path(std::getenv("HOME")) / "Desktop"; }

    TemporaryDirectory root_;
    ScopedEnvironment data_{"XDG_DATA_HOME", (root_.path() / "data").string()};
    ScopedEnvironment diagnostics_{"TAVREL_SOURCE_DIAGNOSTICS", std::nullopt};
    NautilusMenuProvider* provider_ = nullptr;
};

TEST_F(NautilusExtensionTest, OffersTheSubmenuOnFilesAndOnFolderBackgrounds) {
    writeFile(folder() / "a.txt", "");
    const std::vector<std::string> all = {"文本文档", "Word 文档", "PowerPoint 演示文稿",
                                          "Excel 工作簿"};
    for (auto& menu : {backgroundMenu(folder()), fileMenu({(folder() / "a.txt").string()})}) {
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->label, "新建文件");
        EXPECT_EQ(menu->icon, "document-new");
        EXPECT_EQ(menu->titles, all);
    }
    // Remote locations get no menu: files are only created in local folders.
    EXPECT_EQ(backgroundMenu("sftp://host.invalid/home"), nullptr);
    EXPECT_EQ(fileMenu({(folder() / "a.txt").string(), "sftp://host.invalid/x"}), nullptr);

    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates[0].isEnabled = false;
    settings.templates.push_back(
        NewFileTemplate{"custom-1", "报告", "新建 报告", "md", true, false, "custom-1.md"});
    writeFile(NewFileSettings::extensionSettingsURL(), *settings.encode());
    EXPECT_THAT(backgroundMenu(folder())->titles,
                ElementsAre("Word 文档", "PowerPoint 演示文稿", "Excel 工作簿", "报告"));
    settings.isEnabled = false;
    writeFile(NewFileSettings::extensionSettingsURL(), *settings.encode());
    EXPECT_EQ(backgroundMenu(folder()), nullptr);
    EXPECT_EQ(fileMenu({(folder() / "a.txt").string()}), nullptr);
}

TEST_F(NautilusExtensionTest, ActivationCreatesFilesUnderFreeNamesInTheTargetFolder) {
    auto menu = backgroundMenu(folder());
    ASSERT_NE(menu, nullptr);
    for (int i = 0; i < 3; ++i) menu->activate("文本文档");
    EXPECT_THAT(listTree(folder()),
                ElementsAre("新建文本文档 2.txt", "新建文本文档 3.txt", "新建文本文档.txt"));
    EXPECT_EQ(readFile(folder() / "新建文本文档.txt"), "");
    menu->activate("Word 文档");
    EXPECT_EQ(readFile(folder() / "新建 Word 文档.docx"),
              readFile(sourcePath("resources/templates/empty.docx")));

    fs::create_directories(folder() / "sub");
    writeFile(folder() / "sub/file.md", "");
    struct Case {
        const char* name;
        std::vector<std::string> selection;
        fs::path expected;
    };
    for (const Case& c : {Case{"on a file: beside it",
                               {(folder() / "sub/file.md").string()},
                               folder() / "sub/新建 Excel 工作簿.xlsx"},
                          Case{"on a folder: inside it",
                               {(folder() / "sub").string(), (folder() / "sub/file.md").string()},
                               folder() / "sub/新建 Excel 工作簿 2.xlsx"}}) {
        SCOPED_TRACE(c.name);
        auto itemMenu = fileMenu(c.selection);
        ASSERT_NE(itemMenu, nullptr);
        itemMenu->activate("Excel 工作簿");
        EXPECT_TRUE(fs::exists(c.expected));
    }
}

TEST_F(NautilusExtensionTest, DiagnosticsAreWrittenOnlyWithOne) {
    const fs::path log = NewFileSettings::mainSettingsDirectory() / "TavrelNewFileFinderSync.log";
    {
        ScopedEnvironment value("TAVREL_SOURCE_DIAGNOSTICS", "true");
        backgroundMenu(folder())->activate("文本文档");
        EXPECT_FALSE(fs::exists(log));
    }
    ScopedEnvironment value("TAVREL_SOURCE_DIAGNOSTICS", "1");
    backgroundMenu(folder())->activate("文本文档");
    const auto text = readFile(log);
    ASSERT_TRUE(text.has_value());
    EXPECT_THAT(*text, HasSubstr(" menu settings enabled=true templates=txt,docx,pptx,xlsx\n"));
    EXPECT_THAT(*text, HasSubstr(" created " + (folder() / "新建文本文档 2.txt").string() + "\n"));
}

TEST_F(NautilusExtensionTest, DesktopCreationRequestsPlacementAtTheClickPoint) {
    VirtualDisplay display(1024, 768);
    if (!display.running()) GTEST_SKIP() << "no Xvfb";
    GChild monitor(
        {toolPath("tavrel-notify"), "monitor", "com.local.tavrel.desktopIconPositionRequest"});
    ASSERT_TRUE(monitor.awaitLine("tavrel-notify: listening"));

    const fs::path desktop = root() / "project/Desktop";
    fs::create_directories(desktop);
    ASSERT_TRUE(display.movePointer(100, 200));
    auto menu = backgroundMenu(desktop);  // the right-click: the pointer is recorded here
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(display.movePointer(700, 700));
    menu->activate("PowerPoint 演示文稿");
    ASSERT_TRUE(fs::exists(desktop / "新建 PowerPoint 演示文稿.pptx"));

    const auto line = monitor.readLine();
    ASSERT_TRUE(line.has_value());
    const auto notification = nlohmann::json::parse(*line);
    const auto file = readFile(NewFileSettings::extensionDesktopPositionRequestURL());
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(notification["object"], base64::encode(*file));
    EXPECT_EQ(notification["userInfo"], nlohmann::json::object());
    const auto request = nlohmann::json::parse(*file);
    EXPECT_EQ(request["fileName"], "新建 PowerPoint 演示文稿.pptx");
    EXPECT_EQ(request["filePath"], (desktop / "新建 PowerPoint 演示文稿.pptx").string());
    // X (100, 200) on a 1024 × 768 screen is (100, 568) with the origin at the bottom left.
    EXPECT_EQ(request["screenX"], 100.0);
    EXPECT_EQ(request["screenY"], 568.0);
    EXPECT_EQ(request["x"], 68);
    EXPECT_EQ(request["y"], 168);
}

TEST_F(NautilusExtensionTest, SettingsSavedByTheSettingsApplicationReachTheMenu) {
    GChild monitor(
        {toolPath("tavrel-notify"), "monitor", "com.local.tavrel.newFileSettings.syncRequest"});
    ASSERT_TRUE(monitor.awaitLine("tavrel-notify: listening"));
    ASSERT_NE(backgroundMenu(folder()), nullptr);  // starts the extension
    EXPECT_TRUE(
        monitor.awaitLine(R"({"name":"com.local.tavrel.newFileSettings.syncRequest")", true));

    const Finished saved =
        runToEnd({std::string(TAVREL_BINARY_DIR) + "/bin/new_file_settings_actor", "disable",
                  "docx", "--resources", sourcePath("resources/templates")});
    ASSERT_EQ(saved.status, 0) << saved.output;
    // The main copy changed; the extension's copy follows through the notification.
    ASSERT_TRUE(iterateUntil([] { return fs::exists(NewFileSettings::extensionSettingsURL()); }));
    EXPECT_THAT(backgroundMenu(folder())->titles,
                ElementsAre("文本文档", "PowerPoint 演示文稿", "Excel 工作簿"));
}

}  // namespace
}  // namespace tavrel
