#pragma once

// Drives the modal windows that a click opens: the click only returns once the window is
// closed, so what is to happen in it is arranged before the click.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <gtest/gtest.h>

namespace lexaro::testing {

// Processes events until pred holds or ms have passed; the last value of pred.
inline bool WaitFor(const std::function<bool()>& pred, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs action once on the next modal window that is not `above` (the window that opens it),
// as soon as it is showing. A window that never opens is a test failure.
inline void WhenModalOpens(QWidget* above, std::function<void(QWidget*)> action,
                           int timeoutMs = 10000) {
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, above, action, clock, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != above && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            // A check that failed in the window must not leave it open: the click that
            // opened it would wait for ever.
            if (::testing::Test::HasFatalFailure() && modal->isVisible())
                modal->close();
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window opened";
        }
    });
    timer->start();
}

} // namespace lexaro::testing
