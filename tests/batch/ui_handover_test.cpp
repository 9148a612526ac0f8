#include "core/ui_handover.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "task_queue.h"

namespace velmora {
namespace {

using test::TBackground;
using test::TTaskQueue;
using test::TUiThread;

TEST(UiHandover, OperationsRunOnTheUiThreadWhileTheWorkerWaits) {
    TUiThread ui;
    TUiHandover handover(ui.PostFunction());
    std::string log;  // written by the UI thread only, read by the worker after each wait
    TBackground<std::string> worker([&] {
        std::string seen;
        for (int i = 0; i < 3; ++i) {
            const auto onUiThread = handover.Ask([&, i] {
                log += std::to_string(i);
                return std::this_thread::get_id() == ui.Id();
            });
            seen += (onUiThread.value_or(false) ? "ui:" : "elsewhere:") + log + " ";
        }
        EXPECT_TRUE(handover.Run([&] { log += "!"; }));
        return seen + log;
    });
    EXPECT_EQ(worker.Wait(), "ui:0 ui:01 ui:012 012!");
}

TEST(UiHandover, ErrorOfTheOperationIsRaisedOnTheWorker) {
    TUiThread ui;
    TUiHandover handover(ui.PostFunction());
    TBackground<int> worker([&] {
        EXPECT_THROW(handover.Run([] { throw std::runtime_error("host failed"); }),
                     std::runtime_error);
        // The UI thread goes on serving.
        return handover.Ask([] { return 7; }).value_or(0);
    });
    EXPECT_EQ(worker.Wait(), 7);
}

// Ways the UI side can go away while an operation is asked for. An operation that has not
// begun is not carried out and the worker returns at once; one that has begun is completed
// and waited for. Nothing is posted afterwards.
TEST(UiHandover, StopOrDroppedTaskEndsTheWaitAndLaterPosts) {
    enum class Event { StopFirst, StopWhileQueued, TaskDropped, StopFromInsideOperation };
    for (Event event : {Event::StopFirst, Event::StopWhileQueued, Event::TaskDropped,
                        Event::StopFromInsideOperation}) {
        SCOPED_TRACE(static_cast<int>(event));
        auto queue = std::make_shared<TTaskQueue>();
        TUiHandover handover(queue->PostFunction());
        int ran = 0;  // UI side only
        bool ranFully = false;
        if (event == Event::StopFirst) {
            handover.RequestStop();
        }
        TBackground<bool> worker([&] {
            return handover.Run([&] {
                ++ran;
                if (event == Event::StopFromInsideOperation) {
                    handover.RequestStop();
                }
                ranFully = true;
            });
        });
        if (event != Event::StopFirst) {
            ASSERT_TRUE(queue->WaitForTask());
        }
        switch (event) {
            case Event::StopFirst:
                break;
            case Event::StopWhileQueued:
                handover.RequestStop();
                break;
            case Event::TaskDropped:
                queue->Close();
                break;
            case Event::StopFromInsideOperation:
                queue->RunNext();
                break;
        }
        EXPECT_EQ(worker.Wait(), std::optional<bool>(event == Event::StopFromInsideOperation));
        const int postedBefore = queue->Posted();
        // A task still queued after the stop does nothing when the UI thread gets to it.
        if (event == Event::StopWhileQueued) {
            queue->RunNext();
        }
        EXPECT_FALSE(handover.Run([&] { ++ran; }));
        EXPECT_EQ(queue->Posted(), postedBefore);
        EXPECT_EQ(ran, event == Event::StopFromInsideOperation ? 1 : 0);
        EXPECT_EQ(ranFully, event == Event::StopFromInsideOperation);
    }
}

}  // namespace
}  // namespace velmora
