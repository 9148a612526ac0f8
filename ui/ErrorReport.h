// Errors that leave a user-interface handler end that handler and are shown in one modal box;
// the program carries on.
#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace velmora::ui {

// The box text: the message, with a full stop added when its last character sorts after ".".
QString ErrorBoxText(const QString& message);

// The message of any error a handler may raise.
QString ErrorMessage(const std::exception& error);

// Shows the error box (caption "Velmora", stop icon, OK) after cancelling any mouse capture.
void ReportError(const QString& message);

// Replaces the box, e.g. by a recorder in tests; an empty function restores the box.
void SetErrorBoxHandler(std::function<void(const QString& text)> handler);

// Runs a handler that is not called through the event loop (the main window's creation),
// reporting what leaves it the same way.
void RunHandler(const std::function<void()>& handler);

}  // namespace velmora::ui
