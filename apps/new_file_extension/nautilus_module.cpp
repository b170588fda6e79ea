// The Nautilus (GNOME Files) module: a menu provider that offers the "新建文件" submenu on files
// and on the empty space of a folder, over the same FinderSync logic as the command line.
//
// The module lives inside Nautilus: no Qt, notifications over GLib's GDBus, nothing exported but
// the three nautilus_module_* entry points (exports.map), and it is never unloaded (-z nodelete),
// since GLib may keep calling into a registered type.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <gio/gio.h>
#include <glib-object.h>

// The header declares the module entry points without C linkage; GLib's own headers are
// already in, so only Nautilus's declarations land in the block.
extern "C" {
#include <nautilus-extension.h>
}

#include "apps/new_file_extension/new_file_extension.h"
#include "core/notifications/notification_names.h"
#include "platform/log.h"
#include "platform/process_identity.h"

namespace {

using tavrel::FinderSyncMenuItemReference;
using tavrel::FinderSyncMenuKind;
using tavrel::FinderSyncTarget;

constexpr char kItemNamePrefix[] = "TavrelNewFile::Create::";
constexpr char kRootItemName[] = "TavrelNewFile::NewFile";
// The represented object of a menu item: the template's id.
constexpr char kTemplateIDKey[] = "tavrel-new-file-template-id";
// doc.badge.plus in the freedesktop icon theme.
constexpr char kMenuIcon[] = "document-new";

struct Provider {
    GObject parent;
    tavrel::NewFileExtension* extension;
};

struct ProviderClass {
    GObjectClass parent;
};

GType providerType = 0;
GObjectClass* providerParentClass = nullptr;

// Nautilus loads the module through a link in its extension directory; the link leads back into
// the bundle, wherever it was installed.
std::optional<tavrel::platform::Bundle> moduleBundle() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&moduleBundle), &info) == 0 || !info.dli_fname) {
        tavrel::platform::log(
            "Tavrel FinderSync: cannot tell where the module was loaded from; "
            "the shipped templates are missing");
        return std::nullopt;
    }
    auto bundle = tavrel::bundleContaining(info.dli_fname);
    if (!bundle) {
        tavrel::platform::log(std::string("Tavrel FinderSync: ") + info.dli_fname +
                              " is not a link to the module in its bundle; the shipped "
                              "templates are missing");
    }
    return bundle;
}

void providerInstanceInit(GTypeInstance* instance, gpointer) {
    auto* provider = reinterpret_cast<Provider*>(instance);
    provider->extension = new tavrel::NewFileExtension(
        moduleBundle(), tavrel::NewFileExtension::Notifications::session);
    if (!provider->extension->notificationCenter()) {
        tavrel::platform::log("Tavrel FinderSync: no session bus, settings are not synced: " +
                              provider->extension->notificationError());
    }
    provider->extension->finderSync().start();
}

void providerFinalize(GObject* object) {
    auto* provider = reinterpret_cast<Provider*>(object);
    delete provider->extension;
    provider->extension = nullptr;
    providerParentClass->finalize(object);
}

void providerClassInit(gpointer klass, gpointer) {
    providerParentClass = G_OBJECT_CLASS(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = providerFinalize;
}

// What an activated item needs: the provider (kept alive) and what the menu was opened on.
struct Activation {
    Provider* provider;
    FinderSyncTarget target;
};

void freeActivation(gpointer data, GClosure*) {
    auto* activation = static_cast<Activation*>(data);
    g_object_unref(activation->provider);
    delete activation;
}

std::string stringProperty(GObject* object, const char* property) {
    gchar* value = nullptr;
    g_object_get(object, property, &value, nullptr);
    std::string text = value ? value : "";
    g_free(value);
    return text;
}

void activate(NautilusMenuItem* item, gpointer data) {
    auto* activation = static_cast<Activation*>(data);
    if (!activation->provider->extension) return;
    FinderSyncMenuItemReference reference;
    if (const auto* id =
            static_cast<const char*>(g_object_get_data(G_OBJECT(item), kTemplateIDKey))) {
        reference.representedObject = std::string(id);
    }
    const std::string name = stringProperty(G_OBJECT(item), "name");
    if (name.rfind(kItemNamePrefix, 0) == 0)
        reference.identifier = name.substr(sizeof kItemNamePrefix - 1);
    reference.title = stringProperty(G_OBJECT(item), "label");
    // Failures are logged by FinderSync; Nautilus shows nothing, like Finder.
    (void)activation->provider->extension->finderSync().createFile(reference, activation->target);
}

// A local path for a file info, or nothing for a remote location.
std::optional<std::filesystem::path> localPath(NautilusFileInfo* info) {
    GFile* location = nautilus_file_info_get_location(info);
    if (!location) return std::nullopt;
    gchar* path = g_file_get_path(location);
    g_object_unref(location);
    if (!path) return std::nullopt;
    std::filesystem::path result(path);
    g_free(path);
    return result;
}

GList* menuItems(Provider* provider, FinderSyncMenuKind kind, FinderSyncTarget target, bool local) {
    if (!provider->extension) return nullptr;
    const auto menu = provider->extension->finderSync().menu(kind);
    // Files can only be created in local folders.
    if (!menu || !local) return nullptr;

    NautilusMenuItem* root =
        nautilus_menu_item_new(kRootItemName, menu->title.c_str(), nullptr, kMenuIcon);
    NautilusMenu* submenu = nautilus_menu_new();
    for (const tavrel::FinderSyncMenuItem& entry : menu->items) {
        const std::string name = kItemNamePrefix + entry.templateID;
        NautilusMenuItem* item =
            nautilus_menu_item_new(name.c_str(), entry.title.c_str(), nullptr, nullptr);
        g_object_set_data_full(G_OBJECT(item), kTemplateIDKey, g_strdup(entry.templateID.c_str()),
                               g_free);
        g_object_ref(provider);
        g_signal_connect_data(item, "activate", G_CALLBACK(activate),
                              new Activation{provider, target}, freeActivation,
                              static_cast<GConnectFlags>(0));
        nautilus_menu_append_item(submenu, item);
        g_object_unref(item);
    }
    nautilus_menu_item_set_submenu(root, submenu);
    g_object_unref(submenu);
    return g_list_append(nullptr, root);
}

GList* getFileItems(NautilusMenuProvider* menuProvider, GList* files) {
    FinderSyncTarget target;
    bool local = files != nullptr;
    for (GList* file = files; file; file = file->next) {
        auto path = localPath(static_cast<NautilusFileInfo*>(file->data));
        if (!path) {
            local = false;
            break;
        }
        target.selectedItemURLs.push_back(*path);
    }
    return menuItems(reinterpret_cast<Provider*>(menuProvider),
                     FinderSyncMenuKind::contextualMenuForItems, std::move(target), local);
}

GList* getBackgroundItems(NautilusMenuProvider* menuProvider, NautilusFileInfo* folder) {
    FinderSyncTarget target;
    target.targetedURL = folder ? localPath(folder) : std::nullopt;
    const bool local = target.targetedURL.has_value();
    return menuItems(reinterpret_cast<Provider*>(menuProvider),
                     FinderSyncMenuKind::contextualMenuForContainer, std::move(target), local);
}

void menuProviderInit(gpointer iface, gpointer) {
    auto* menuProvider = static_cast<NautilusMenuProviderInterface*>(iface);
    menuProvider->get_file_items = getFileItems;
    menuProvider->get_background_items = getBackgroundItems;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void nautilus_module_initialize(GTypeModule* module) {
    tavrel::platform::declareBundleIdentifier(tavrel::BundleIdentifier::newFileExtension);
    const GTypeInfo info = {sizeof(ProviderClass),
                            nullptr,
                            nullptr,
                            providerClassInit,
                            nullptr,
                            nullptr,
                            sizeof(Provider),
                            0,
                            providerInstanceInit,
                            nullptr};
    providerType = g_type_module_register_type(module, G_TYPE_OBJECT, "TavrelNewFileProvider",
                                               &info, static_cast<GTypeFlags>(0));
    const GInterfaceInfo menuProvider = {menuProviderInit, nullptr, nullptr};
    g_type_module_add_interface(module, providerType, NAUTILUS_TYPE_MENU_PROVIDER, &menuProvider);
}

__attribute__((visibility("default"))) void nautilus_module_shutdown(void) {}

__attribute__((visibility("default"))) void nautilus_module_list_types(const GType** types,
                                                                       int* count) {
    static GType list[1];
    list[0] = providerType;
    *types = list;
    *count = 1;
}

}  // extern "C"
