// Asking the desktop to open a folder or a web address in the user's file browser or web
// browser.
#pragma once

#include <QUrl>
#include <functional>

namespace velmora::ui {

// Makes the request and goes on at once; whether the desktop could open it is not looked at.
void OpenWithDesktop(const QUrl& url);

// Replaces the request, e.g. by a recorder in tests; an empty function restores it.
void SetDesktopOpenHandler(std::function<void(const QUrl& url)> handler);

}  // namespace velmora::ui
