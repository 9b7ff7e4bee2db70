#pragma once

#include <QThreadPool>

#include <future>
#include <memory>
#include <type_traits>

// Work off the window's thread, on a thread Qt started. A thread Qt did not start (std::async's)
// still gets Qt's per-thread data, a regular expression's compiled stack among it; on Windows
// that data was freed as such a thread ended, and now and then the program fell there at start.
namespace Background {
template <typename F> std::future<std::invoke_result_t<F>> run(F &&work)
{
    using Result = std::invoke_result_t<F>;
    auto task = std::make_shared<std::packaged_task<Result()>>(std::forward<F>(work));
    std::future<Result> result = task->get_future();
    QThreadPool::globalInstance()->start([task] { (*task)(); });
    return result;
}
} // namespace Background
