// The three 16 × 16 command images with their transparency: a picture, crossed tools and a
// ribbon seal.
#pragma once

#include <QIcon>

namespace velmora::ui {

enum class CommandImage { Picture = 0, Tools = 1, Seal = 2 };

QPixmap CommandPixmap(CommandImage image);
// The same pixmap for every mode, so the image stays in colour also while disabled.
QIcon CommandIcon(CommandImage image);

}  // namespace velmora::ui
