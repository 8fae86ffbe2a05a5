// Acts on a modal window from inside its event loop, the way a user would once it is up.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace quorvale::test {

// Fails the test and closes every modal dialog, so the code waiting on them returns.
inline void giveUpWaitingFor(const char* className)
{
    ADD_FAILURE() << "no " << className << " came up in time";
    for (int open = 0; open < 16; ++open) {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            break;
        dialog->reject();
    }
}

// Runs step on the next modal window of type T as soon as it is up. A window that is not up
// before the deadline fails the test instead of hanging it.
template <typename T> void whenUp(std::function<void(T*)> step, QDeadlineTimer deadline = QDeadlineTimer(10000))
{
    QTimer::singleShot(10, [step, deadline] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget()))
            step(modal);
        else if (deadline.hasExpired())
            giveUpWaitingFor(T::staticMetaObject.className());
        else
            whenUp<T>(step, deadline);
    });
}

} // namespace quorvale::test
