#pragma once

#include <QPointer>

namespace WindowLife {
// A window that has been closed but not yet deleted counts as gone.
template <typename T> void forgetIfClosed(QPointer<T> &w)
{
    if (w && !w->isVisible())
        w.clear();
}

// Cleared first: a window being deleted still sends its Hide, and comparing it then with a
// pointer of its own type would read a half-destroyed object.
template <typename T> void destroy(QPointer<T> &w)
{
    T *const doomed = w.data();
    w.clear();
    delete doomed;
}
} // namespace WindowLife
