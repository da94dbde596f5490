#pragma once
// Collects the diagnostics messages written while it lives.
#include "common/DebugLog.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace nqtest {

class DebugCapture {
public:
    DebugCapture()
    {
        nq::SetDebugLogCallback([this](const std::string& line) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_lines.push_back(line);
        });
    }
    ~DebugCapture() { nq::SetDebugLogCallback({}); }

    int Count(const std::string& line)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return static_cast<int>(std::count(m_lines.begin(), m_lines.end(), line));
    }
    std::vector<std::string> Lines()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_lines;
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

} // namespace nqtest
