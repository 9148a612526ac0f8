// Driving dialogs off screen: waiting with the event loop running, acting on the next modal
// window, recording desktop requests, and following the worker thread a batch starts.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "support/geometry_print.h"
#include "support/qstring_print.h"

namespace velmora::test {

// Runs the event loop (deferred deletions included) until done() holds; false if it did not
// within the hang bound, which no run comes near: it only keeps a hang from blocking the suite.
bool WaitUntil(const std::function<bool()>& done);

// Runs the event loop for a short while, e.g. to let a wrongly posted call arrive.
void RunEventLoopFor(int milliseconds);

// Once the event loop runs and a modal window other than the present one is up, calls
// action with it, once. For driving exec() from the outside; stops looking when destroyed.
class OnNextModal {
  public:
    explicit OnNextModal(std::function<void(QWidget* modal)> action);
    ~OnNextModal();
    OnNextModal(const OnNextModal&) = delete;
    OnNextModal& operator=(const OnNextModal&) = delete;

    bool Ran() const { return ran_; }

  private:
    std::unique_ptr<QTimer> timer_;
    bool ran_ = false;
};

// The modal window that is up now, if any.
QWidget* CurrentModal();

// Confirms a folder dialog as its own "choose" button does (QFileDialog hides accept()).
void Confirm(QDialog& dialog);

// Makes a window the active one, so that keys go to its focus widget.
void Activate(QWidget& window);

// The widgets that Tab visits from the focus widget until it comes back, at most limit.
std::vector<QWidget*> TabCycle(QWidget& window, int limit = 20);

// A control's place within its window's client area (its top-left corner only when the
// size is empty, for labels that size themselves to their text) and its caption or text.
// Labels must be wide enough for their text.
struct Control {
    const QWidget* widget;
    QRect place;
    QString text;
};
QString TextOf(const QWidget& control);
void ExpectControls(const QWidget& window, const std::vector<Control>& controls);

// Replaces the desktop's open requests by a list of the addresses asked for.
class DesktopOpenRecorder {
  public:
    DesktopOpenRecorder();
    ~DesktopOpenRecorder();
    DesktopOpenRecorder(const DesktopOpenRecorder&) = delete;
    DesktopOpenRecorder& operator=(const DesktopOpenRecorder&) = delete;

    std::vector<QUrl> urls;
};

// The threads the process starts between Before() and After(): the worker of a batch.
class NewThreads {
  public:
    void Before();
    void After();

    bool Running() const;
    // Processor time the new threads have used so far, in clock ticks; what has ended counts 0.
    long CpuTicks() const;
    // Runs the event loop until every new thread has ended.
    bool WaitUntilEnded() const;

  private:
    std::set<int> before_;
    std::vector<int> started_;
};

}  // namespace velmora::test
