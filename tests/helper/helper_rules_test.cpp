// Role selection, what each observed notification means for a copy, the Dock menus, and the
// notifications a copy posts.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/helper/helper_dock_menu.h"
#include "core/helper/helper_notification_rules.h"
#include "core/helper/helper_role.h"
#include "core/notifications/notification_names.h"

namespace tavrel {
namespace {

using Info = NotificationUserInfo;
const std::optional<std::string> none;

HelperRole folder(std::string id) {
    return selectHelperRole(std::move(id), none);
}
HelperRole widget(std::string kind) {
    return selectHelperRole(none, std::move(kind));
}
const HelperRole launcher = selectHelperRole(none, none);

Notification named(std::string_view name, Info info = {},
                   std::optional<std::string> object = std::nullopt) {
    return {std::string(name), std::move(object), std::move(info)};
}

TEST(HelperRole, WidgetKeyWinsThenAnyFolderStringThenLauncher) {
    struct Case {
        const char* label;
        std::optional<std::string> folder;
        std::optional<std::string> widget;
        HelperRoleKind kind;
        std::optional<TavrelWidgetKind> widgetKind;
    };
    const std::vector<Case> cases{
        {"nothing", none, none, HelperRoleKind::launcher, std::nullopt},
        {"time", none, "time", HelperRoleKind::widget, TavrelWidgetKind::time},
        {"memory", none, "memory", HelperRoleKind::widget, TavrelWidgetKind::memory},
        {"both keys", "F1", "memory", HelperRoleKind::widget, TavrelWidgetKind::memory},
        {"capital Memory", none, "Memory", HelperRoleKind::launcher, std::nullopt},
        {"capital Memory with folder", "F1", "Memory", HelperRoleKind::folder, std::nullopt},
        {"empty widget", "F1", "", HelperRoleKind::folder, std::nullopt},
        {"empty folder id", "", none, HelperRoleKind::folder, std::nullopt},
        {"padded kind", none, " time", HelperRoleKind::launcher, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const HelperRole role = selectHelperRole(c.folder, c.widget);
        EXPECT_EQ(role.kind(), c.kind);
        EXPECT_EQ(role.widgetKind, c.widgetKind);
        EXPECT_EQ(role.folderIdentifier, c.folder);
    }
}

TEST(HelperRole, IsReadFromTheInfoListOnEveryUse) {
    std::map<std::string, std::string, std::less<>> plist{{"TavrelFolderIdentifier", "F1"}};
    int reads = 0;
    const InfoStringReader reader = [&](std::string_view key) -> std::optional<std::string> {
        ++reads;
        auto it = plist.find(key);
        if (it == plist.end()) return std::nullopt;
        return it->second;
    };
    EXPECT_EQ(readHelperRole(reader).kind(), HelperRoleKind::folder);
    plist["TavrelWidgetIdentifier"] = "time";
    EXPECT_EQ(readHelperRole(reader).kind(), HelperRoleKind::widget);
    EXPECT_EQ(reads, 4);
    EXPECT_EQ(readHelperRole({}).kind(), HelperRoleKind::launcher);
}

TEST(HelperRole, TileNameIsTheCopysOwnNameElseItsRolesName) {
    using Plist = std::map<std::string, std::string, std::less<>>;
    const Plist shipped{{"CFBundleDisplayName", "应用启动台"}, {"CFBundleName", "应用启动台"}};
    struct Case {
        const char* label;
        HelperRole role;
        Plist plist;
        std::string name;
    };
    const std::vector<Case> cases{
        {"launcher", launcher, shipped, "应用启动台"},
        {"time widget", widget("time"), shipped, "时间组件"},
        {"memory widget", widget("memory"), shipped, "内存组件"},
        {"folder", folder("F1"), shipped, "应用分组"},
        {"no names at all", widget("memory"), {}, "内存组件"},
        {"folder named by the taskbar",
         folder("F1"),
         {{"CFBundleDisplayName", "工作"}, {"CFBundleName", "应用启动台"}},
         "工作"},
        {"only the bundle name changed", folder("F1"), {{"CFBundleName", "Work"}}, "Work"},
        {"display name kept, bundle name changed",
         widget("time"),
         {{"CFBundleDisplayName", "应用启动台"}, {"CFBundleName", "Clock"}},
         "时间组件"},
        {"empty display name", widget("time"), {{"CFBundleDisplayName", ""}}, "时间组件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const InfoStringReader reader = [&](std::string_view key) -> std::optional<std::string> {
            auto it = c.plist.find(key);
            if (it == c.plist.end()) return std::nullopt;
            return it->second;
        };
        EXPECT_EQ(helperTileName(c.role, reader), c.name);
    }
    EXPECT_EQ(helperTileName(launcher, {}), "应用启动台");
}

TEST(HelperNotificationRules, FolderTerminationNeedsTheExactIdentifierAsObject) {
    const HelperRole role = folder("ABC-def");
    struct Case {
        const char* label;
        std::optional<std::string> object;
        bool terminates;
    };
    const std::vector<Case> cases{
        {"same", "ABC-def", true},      {"other case", "abc-DEF", false},
        {"other folder", "XYZ", false}, {"no object", std::nullopt, false},
        {"empty object", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(terminatesFolder(named(kTavrelTerminateFolderNotification, {}, c.object), role),
                  c.terminates);
    }
    // A copy whose folder identifier is empty is ended by an empty object only.
    EXPECT_TRUE(terminatesFolder(named(kTavrelTerminateFolderNotification, {}, ""), folder("")));
    EXPECT_FALSE(terminatesFolder(named(kTavrelTerminateFolderNotification, {}, "F"), launcher));
}

TEST(HelperNotificationRules, WidgetTerminationAndRefreshReadTheWidgetKey) {
    struct Case {
        const char* label;
        Info info;
        bool terminatesMemory;
        bool refreshesMemory;
    };
    const std::vector<Case> cases{
        {"memory", {{"widget", std::string("memory")}}, true, true},
        {"time", {{"widget", std::string("time")}}, false, false},
        {"Memory", {{"widget", std::string("Memory")}}, false, false},
        {"missing", {}, false, true},
        {"not a string", {{"widget", std::int64_t{1}}}, false, true},
        {"other keys only", {{"folderID", std::string("memory")}}, false, true},
    };
    const HelperRole memory = widget("memory");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Notification n = named(kTavrelTerminateWidgetNotification, c.info);
        EXPECT_EQ(terminatesWidget(n, memory), c.terminatesMemory);
        EXPECT_EQ(widgetToRefresh(n, memory).has_value(), c.refreshesMemory);
        // A copy that shows no widget neither quits nor redraws for these.
        EXPECT_FALSE(terminatesWidget(n, folder("F")));
        EXPECT_FALSE(widgetToRefresh(n, launcher));
    }
}

TEST(HelperNotificationRules, DockIconRefreshReadsOpenAndReloadAsNumbers) {
    struct Case {
        const char* label;
        HelperRole role;
        Info info;
        std::optional<DockIconRefresh> refresh;
    };
    const HelperRole f = folder("5D0C-aa");
    const std::vector<Case> cases{
        {"launcher, no payload", launcher, {}, DockIconRefresh{false, true}},
        {"launcher, open", launcher, {{"isOpen", true}}, DockIconRefresh{true, true}},
        {"folder, same id",
         f,
         {{"folderID", std::string("5D0C-aa")}},
         DockIconRefresh{false, true}},
        {"folder, id in other case",
         f,
         {{"folderID", std::string("5d0c-AA")}, {"isOpen", std::int64_t{1}}, {"reloadAssets", 0.0}},
         DockIconRefresh{true, false}},
        {"folder, other id", f, {{"folderID", std::string("5D0C-ab")}}, std::nullopt},
        {"folder, id missing", f, {{"isOpen", true}}, std::nullopt},
        {"folder, id not a string", f, {{"folderID", std::int64_t{5}}}, std::nullopt},
        {"numbers",
         launcher,
         {{"isOpen", 2.5}, {"reloadAssets", std::int64_t{0}}},
         DockIconRefresh{true, false}},
        {"strings are no numbers",
         launcher,
         {{"isOpen", std::string("true")}, {"reloadAssets", std::string("false")}},
         DockIconRefresh{false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(dockIconRefresh(named(kTavrelRefreshFolderIconNotification, c.info), c.role),
                  c.refresh);
    }
}

TEST(HelperDockMenu, EachRoleHasItsEntriesAndRequestNotification) {
    auto titles = [](const HelperRole& role) {
        std::vector<std::string> result;
        for (const auto& entry : helperDockMenu(role)) {
            result.push_back(entry.isSeparator ? "-" : entry.title);
        }
        return result;
    };
    EXPECT_TRUE(titles(launcher).empty());
    EXPECT_EQ(titles(widget("time")),
              (std::vector<std::string>{"打开日历", "-", "移除「时间组件」"}));
    EXPECT_EQ(titles(widget("memory")),
              (std::vector<std::string>{"打开系统监控", "-", "移除「内存组件」"}));
    EXPECT_EQ(titles(folder("F")),
              (std::vector<std::string>{"新建分组", "重命名分组", "删除分组"}));

    EXPECT_EQ(dockMenuRequestNotification(launcher), std::nullopt);
    EXPECT_EQ(dockMenuRequestNotification(widget("memory")),
              named(kTavrelRemoveWidgetNotification,
                    {{"widget", std::string("memory")}, {"action", std::string("dismiss")}}));
    EXPECT_EQ(dockMenuRequestNotification(folder("F")),
              named(kTavrelDismissFolderNotification, {{"folderID", std::string("F")}}));
}

TEST(HelperDockMenu, ChoicesPostTheirRequests) {
    const ScreenPoint mouse{10.5, 20};
    auto choose = [&](const HelperRole& role, std::size_t index) {
        return dockMenuChoiceNotification(helperDockMenu(role).at(index), role, mouse);
    };
    EXPECT_EQ(choose(widget("time"), 0),
              named(kTavrelShowWidgetNotification,
                    {{"widget", std::string("time")}, {"mouseX", 10.5}, {"mouseY", 20.0}}));
    EXPECT_EQ(choose(widget("time"), 1), std::nullopt);
    EXPECT_EQ(choose(widget("memory"), 2),
              named(kTavrelRemoveWidgetNotification,
                    {{"widget", std::string("memory")}, {"action", std::string("remove")}}));
    EXPECT_EQ(choose(folder("F"), 0),
              named(kTavrelManageFolderNotification, {{"action", std::string("create")}}));
    EXPECT_EQ(choose(folder("F"), 1),
              named(kTavrelManageFolderNotification,
                    {{"action", std::string("rename")}, {"folderID", std::string("F")}}));
    EXPECT_EQ(choose(folder("F"), 2),
              named(kTavrelManageFolderNotification,
                    {{"action", std::string("delete")}, {"folderID", std::string("F")}}));

    // The role at the time of the choice counts; an entry naming no kind posts nothing.
    const HelperDockMenuEntry rename = helperDockMenu(folder("F")).at(1);
    EXPECT_EQ(dockMenuChoiceNotification(rename, launcher, mouse),
              named(kTavrelManageFolderNotification, {{"action", std::string("rename")}}));
    HelperDockMenuEntry odd = helperDockMenu(widget("time")).at(0);
    odd.representedObject = "Time";
    EXPECT_EQ(dockMenuChoiceNotification(odd, widget("time"), mouse), std::nullopt);
}

}  // namespace
}  // namespace tavrel
