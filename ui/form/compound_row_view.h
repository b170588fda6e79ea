#pragma once

// The control column of a compound row: an icon, switches, buttons, check boxes and pop-ups side
// by side, each wired to its part's action. After any action the parts that read a state show
// it again, so a model that refuses or resets a change is what the row shows.

#include <functional>
#include <vector>

#include <QIcon>
#include <QWidget>

#include "core/form/form_content.h"

class QCheckBox;
class QComboBox;

namespace tavrel {

// The picture for an icon part (a file's, an application's); a null icon when there is none,
// and the part's symbol is drawn instead.
using FormIconResolver = std::function<QIcon(const FormIcon& icon)>;

class CompoundRowView : public QWidget {
    Q_OBJECT
public:
    // `title` names the row's parts for the accessibility tree where a part has no name of its
    // own.
    CompoundRowView(const CompoundControl& control, const QString& title,
                    const FormIconResolver& icons, QWidget* parent = nullptr);

    // Shows every part's state as its model holds it.
    void refreshStates();

private:
    void add(const CompoundIcon& part, const FormIconResolver& icons);
    void add(const CompoundSwitch& part);
    void add(const CompoundButton& part);
    void add(const CompoundCheckBox& part);
    void add(const CompoundPopUp& part);
    // Runs a part's action, then shows the states again (unless the row went away meanwhile).
    void afterAction(const std::function<void()>& action);

    QString title_;
    std::vector<std::function<void()>> refreshers_;
    bool refreshing_ = false;
};

}  // namespace tavrel
