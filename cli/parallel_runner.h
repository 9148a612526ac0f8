// Runs numbered pieces of work on a few threads and reports them in their order.
#pragma once

#include <cstddef>
#include <functional>

namespace velmora::cli {

class OrderedRun;

// What a piece of work may do about the pieces beside it, from any of its threads.
class WorkTurn {
  public:
    WorkTurn(OrderedRun& run, size_t index) : run_(run), index_(index) {}

    // When the pieces go one at a time, the next one may begin now, beside this one's rest.
    void LetNextBegin();
    // Waits until every earlier piece has finished, so that this one's effects follow theirs.
    void AwaitEarlier();
    // Whether the piece may be sharing the cores with the end of the one before it, begun
    // early: it is then the only piece for the rest of its time, so it takes the second
    // thread for its stages without counting the cores the one before still holds.
    bool BesideEarlier() const;

  private:
    OrderedRun& run_;
    size_t index_;
};

// Calls work(i, turn) once for every i in [0, count) on at most `threads` threads, the
// calling thread being one of them; each thread takes the next index from a shared counter
// when it is free, so at most `threads` pieces are in progress at once. report(i) is called
// once per index, in index order, as soon as work(i) and every earlier piece have finished;
// report calls never overlap. Neither function may throw.
//
// With one thread on a process that has a second core, and mayBeginEarly, a piece may still
// begin before the one before it has finished, on a second thread: once that one calls
// LetNextBegin (a conversion does while its last encoding runs on one core). At most two
// pieces are then in progress, and each one's AwaitEarlier waits for the other.
void RunInParallel(size_t count, unsigned threads,
                   const std::function<void(size_t, WorkTurn&)>& work,
                   const std::function<void(size_t)>& report, bool mayBeginEarly = true);

}  // namespace velmora::cli
