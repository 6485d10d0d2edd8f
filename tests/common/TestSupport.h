// Helpers shared by every test program: waiting for a condition with a
// generous real-time limit, a private temporary folder, and files of the
// source tree.
//
// Tests wait for what they expect to happen, never for a fixed time: on a
// busy machine a worker round trip may take hundreds of milliseconds, so the
// limit is only there to end a test that would otherwise hang.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

namespace testsupport {

// Generous by design: a limit that is reached means the test failed, so it
// costs nothing when things work and spares false failures under load.
inline constexpr std::chrono::milliseconds kGenerousLimit{30000};

// Polls `condition` until it holds or `limit` of real time has passed;
// returns the last result.
template <typename Condition>
bool WaitFor(Condition&& condition, std::chrono::milliseconds limit = kGenerousLimit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

#ifdef CORVANE_SOURCE_DIR
// A file of the source tree, by its path from the top ("assets/..."). Taken
// from the build rather than from __FILE__, which a compiler cache may make
// relative to the build folder.
inline std::string SourcePath(const std::string& relative) { return std::string(CORVANE_SOURCE_DIR) + "/" + relative; }
#endif

// A private folder below /tmp, removed with everything in it afterwards.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "corvane-test")
    {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~TempFolder()
    {
        if (!m_path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_path, ignored);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Ok() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    // A path inside the folder.
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

}  // namespace testsupport
