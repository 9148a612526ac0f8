// The program's own icon, shown in the title bar of every window and in the task bar.
#pragma once

#include <QIcon>

namespace velmora::ui {

// Every size that the build compiled in, so that each place gets a drawing of its own size
// rather than a scaled one.
QIcon ProgramIcon();

}  // namespace velmora::ui
