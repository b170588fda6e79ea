#include "core/native_dock/native_dock_alerts.h"

#include <string>

#include "core/native_dock/native_dock_folder_settings_store.h"

namespace tavrel {

platform::ModalAlert NativeDockAlerts::confirmEnableNativeDockHiding() {
    return platform::ModalAlert{
        .style = platform::ModalAlert::Style::warning,
        .message = "确认隐藏原生dock？",
        .informativeText =
            "开启后系统将原生 Dock 设置为底部自动隐藏、最小尺寸，关闭图标放大和通知弹跳。"
            "鼠标在屏幕底边停留 15 秒后可唤出原生 Dock。\n\n"
            "如果要卸载本应用，建议卸载前关闭此开关，关闭后原生 Dock 恢复正常使用。",
        .buttons = {"确认开启", "取消"},
        .textField = std::nullopt,
        .textFieldWarning = std::nullopt,
    };
}

platform::ModalAlert NativeDockAlerts::confirmDisableNativeDockHiding() {
    return platform::ModalAlert{
        .style = platform::ModalAlert::Style::warning,
        .message = "确认恢复原生dock？",
        .informativeText = "关闭后原dock将恢复展示，但会影响本dock栏的使用体验，请确认",
        .buttons = {"确认关闭", "取消"},
        .textField = std::nullopt,
        .textFieldWarning = std::nullopt,
    };
}

platform::ModalAlert NativeDockAlerts::nativeDockCommandFailure() {
    return platform::ModalAlert{
        .style = platform::ModalAlert::Style::critical,
        .message = "运行失败请重试，或者咨询ai如何调整/恢复原生dock相关问题",
        .informativeText = "",
        .buttons = {"知道了"},
        .textField = std::nullopt,
        .textFieldWarning = std::nullopt,
    };
}

platform::ModalAlert NativeDockAlerts::createFolder() {
    return platform::ModalAlert{
        .style = platform::ModalAlert::Style::warning,
        .message = "新建文件夹",
        .informativeText = "请输入文件夹名称",
        .buttons = {"创建", "取消"},
        .textField = std::string(NativeDockFolderSettingsStore::defaultFolderName),
        .textFieldWarning = std::nullopt,
    };
}

platform::ModalAlert NativeDockAlerts::renameFolder(std::string_view currentName) {
    return platform::ModalAlert{
        .style = platform::ModalAlert::Style::warning,
        .message = "重命名文件夹",
        .informativeText = "",
        .buttons = {"保存", "取消"},
        .textField = std::string(currentName),
        .textFieldWarning = "重命名后会生成新文件夹，需要手动移除程序坞中的旧文件夹！",
    };
}

platform::ModalAlert NativeDockAlerts::deleteFolder(std::string_view name) {
    return platform::ModalAlert{
        .style = platform::ModalAlert::Style::warning,
        .message = "删除文件夹？",
        .informativeText = "将从原生 Dock 移除“" + std::string(name) + "”及其中的应用分组。",
        .buttons = {"删除", "取消"},
        .textField = std::nullopt,
        .textFieldWarning = std::nullopt,
    };
}

}  // namespace tavrel
