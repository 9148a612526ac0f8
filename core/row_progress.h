// How far one thread has written a picture's rows, for another thread that reads the rows
// above that line while the rest are still being written.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

namespace velmora {

class RowProgress {
  public:
    // Writer: the rows above `rows` are written; what the writer did to the picture before
    // them (its size, its palette) is seen by a reader that has waited for them.
    void Reach(int rows);
    // Writer: no more rows come (all were written, or the writer failed).
    void Close();

    // Reader: waits until the rows above `rows` are written; false when the writer closed
    // before it got there.
    bool WaitFor(int rows);

    // For tests: called just before the reader starts to wait, outside the lock.
    std::function<void()> onWait;

  private:
    std::mutex mutex_;
    std::condition_variable reached_;
    int rows_ = 0;
    int wanted_ = 0;  // the rows the waiting reader needs; 0 while none waits
    bool closed_ = false;
};

}  // namespace velmora
