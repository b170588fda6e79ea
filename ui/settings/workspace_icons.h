#pragma once

// A workspace icon as a picture: the icon theme's icon of that name, or the image file.

#include <QIcon>

#include "platform/workspace.h"

namespace tavrel {

// A null icon when the reference is empty, the theme has no such icon or the file is no image.
QIcon iconFor(const platform::IconReference& icon);

}  // namespace tavrel
