#include "dialog_driving.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/hang_bound.h"
#include "ui/DesktopOpen.h"
#include "ui/GroupBox.h"

namespace velmora::test {

namespace {

std::set<int> ThreadIds() {
    std::set<int> ids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        ids.insert(std::stoi(entry.path().filename().string()));
    }
    return ids;
}

std::string TaskFile(int thread) {
    return "/proc/self/task/" + std::to_string(thread) + "/stat";
}

// utime + stime of /proc/…/stat; the fields after the command name in brackets.
long ThreadCpuTicks(int thread) {
    std::ifstream file(TaskFile(thread));
    std::string line;
    if (!std::getline(file, line)) {
        return 0;
    }
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    // state ppid pgrp session tty_nr tpgid flags minflt cminflt majflt cmajflt utime stime
    for (int index = 0; index < 11; ++index) {
        fields >> field;
    }
    fields >> utime >> stime;
    return utime + stime;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kHangBound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void RunEventLoopFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    WaitUntil([end] { return std::chrono::steady_clock::now() >= end; });
}

QWidget* CurrentModal() {
    return QApplication::activeModalWidget();
}

OnNextModal::OnNextModal(std::function<void(QWidget* modal)> action)
    : timer_(std::make_unique<QTimer>()) {
    QPointer<QWidget> present = CurrentModal();
    timer_->setInterval(1);
    QObject::connect(timer_.get(), &QTimer::timeout, [this, present, action = std::move(action)] {
        QWidget* modal = CurrentModal();
        if (modal && modal != present && modal->isVisible()) {
            // Stopped first: the action may run an event loop of its own.
            timer_->stop();
            ran_ = true;
            action(modal);
        }
    });
    timer_->start();
}

OnNextModal::~OnNextModal() = default;

void Confirm(QDialog& dialog) {
    dialog.accept();
}

void Activate(QWidget& window) {
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    (void)QTest::qWaitForWindowActive(&window);
}

std::vector<QWidget*> TabCycle(QWidget& window, int limit) {
    Activate(window);
    std::vector<QWidget*> visited{QApplication::focusWidget()};
    for (int step = 0; step < limit; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == visited.front()) {
            break;
        }
        visited.push_back(QApplication::focusWidget());
    }
    return visited;
}

QString TextOf(const QWidget& control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return button->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
        return edit->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->text();
    }
    if (const auto* group = qobject_cast<const ui::TGroupBox*>(&control)) {
        return group->Caption();
    }
    return {};
}

void ExpectControls(const QWidget& window, const std::vector<Control>& controls) {
    for (const Control& control : controls) {
        const QWidget& widget = *control.widget;
        const QPoint topLeft = widget.mapTo(&window, QPoint(0, 0));
        if (control.place.size().isEmpty()) {
            EXPECT_EQ(topLeft, control.place.topLeft()) << control.text.toStdString();
        } else {
            EXPECT_EQ(QRect(topLeft, widget.size()), control.place) << control.text.toStdString();
        }
        EXPECT_EQ(TextOf(widget), control.text);
        if (qobject_cast<const QLabel*>(&widget)) {
            EXPECT_GE(widget.width(), widget.sizeHint().width())
                << "clipped " << control.text.toStdString();
        }
    }
}

DesktopOpenRecorder::DesktopOpenRecorder() {
    ui::SetDesktopOpenHandler([this](const QUrl& url) { urls.push_back(url); });
}

DesktopOpenRecorder::~DesktopOpenRecorder() {
    ui::SetDesktopOpenHandler({});
}

void NewThreads::Before() {
    // A sanitizer's runtime starts a thread of its own with the program's first new thread and
    // keeps it to the end: one thread started and ended first puts it among those before.
    std::thread([] {}).join();
    before_ = ThreadIds();
}

void NewThreads::After() {
    started_.clear();
    for (int id : ThreadIds()) {
        if (!before_.count(id)) {
            started_.push_back(id);
        }
    }
}

bool NewThreads::Running() const {
    for (int id : started_) {
        if (std::filesystem::exists(TaskFile(id))) {
            return true;
        }
    }
    return false;
}

long NewThreads::CpuTicks() const {
    long ticks = 0;
    for (int id : started_) {
        ticks += ThreadCpuTicks(id);
    }
    return ticks;
}

bool NewThreads::WaitUntilEnded() const {
    return WaitUntil([this] { return !Running(); });
}

}  // namespace velmora::test
