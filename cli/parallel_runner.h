// Runs numbered pieces of work on a few threads and reports them in their order.
#pragma once

#include <cstddef>
#include <functional>

namespace velmora::cli {

// Calls work(i) once for every i in [0, count) on at most `threads` threads, the calling
// thread being one of them; each thread takes the next index from a shared counter when it
// is free, so at most `threads` pieces are in progress at once. report(i) is called once per
// index, in index order, as soon as work(i) and every earlier piece have finished; report
// calls never overlap. Neither function may throw.
void RunInParallel(size_t count, unsigned threads, const std::function<void(size_t)>& work,
                   const std::function<void(size_t)>& report);

}  // namespace velmora::cli
