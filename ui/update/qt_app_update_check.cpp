#include "ui/update/qt_app_update_check.h"

#include <utility>

#include <QPointer>

#include "ui/update/qt_update_alert_presenter.h"

namespace tavrel {

QtAppUpdateCheck::QtAppUpdateCheck(platform::Workspace& workspace, Options options)
    : window_(std::move(options.window)),
      transport_(std::move(options.transport)),
      checker_(ManualAppUpdateChecker::Dependencies{
          transport_, workspace,
          ManualAppUpdateChecker::currentVersionFromInfo(options.infoVersion), systemUtcOffsetAt(),
          std::move(options.addresses)}) {}

QtAppUpdateCheck::~QtAppUpdateCheck() = default;

void QtAppUpdateCheck::check() {
    if (checker_.isChecking()) return;
    QPointer<QWidget> window(window_ ? window_() : nullptr);
    checker_.check(std::make_shared<QtUpdateAlertPresenter>(std::move(window)));
}

}  // namespace tavrel
