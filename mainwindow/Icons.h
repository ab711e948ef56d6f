#pragma once

#include <QIcon>

namespace tracebay::mainwindow {

// The small pictures of the flat buttons and the window's icon, drawn here rather than loaded.
namespace Icons {
QIcon refresh();
QIcon stop();
QIcon connect();
QIcon disconnect();
QIcon options();
QIcon panel();
// The program's icon: a small instrument screen with a trace.
QIcon program();
}  // namespace Icons

}  // namespace tracebay::mainwindow
