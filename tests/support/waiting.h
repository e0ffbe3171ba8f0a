#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>

// Processes events until `done` holds or `milliseconds` have passed; returns whether it held.
template <typename Condition>
bool waitUntil(Condition done, int milliseconds = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
