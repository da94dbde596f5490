#pragma once
// Helpers of the page tests: event-loop waits and a skin window that records notifications.
#include "ui/CSkinWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <functional>
#include <vector>

namespace nqtest {

// Runs the event loop until pred holds or limitMs passed.
inline bool WaitFor(const std::function<bool()>& pred, int limitMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > limitMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

class RecordingWindow : public nq::ui::CSkinWindow {
public:
    void Notify(const nq::ui::TNotify& msg) override { received.push_back({msg.type, msg.SenderName()}); }
    int Count(const QString& type, const QString& sender) const
    {
        int n = 0;
        for (const auto& [t, s] : received)
            n += (t == type && s == sender) ? 1 : 0;
        return n;
    }
    std::vector<std::pair<QString, QString>> received;
};

} // namespace nqtest
