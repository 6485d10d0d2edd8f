// The fixture the tests against the local server share: a private folder, the
// device clock 20 times faster, and the server and the core, stopped in that
// order (the core first, so that it never sees the server go away).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/oscar/live/LiveCore.h"
#include "tests/oscar/live/ServerProcess.h"
#include "tests/oscar/live/TempFolder.h"

namespace live {

class LiveTest : public ::testing::Test {
protected:
    explicit LiveTest(const std::string& folderPrefix) : m_temp(folderPrefix) {}

    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        m_folder = m_temp.Path();
        platform::SetTimeScale(20.0);
    }
    void TearDown() override
    {
        m_core.reset();
        m_server.reset();
        platform::SetTimeScale(1.0);
    }

    TempFolder m_temp;
    std::string m_folder;
    std::unique_ptr<ServerProcess> m_server;
    std::unique_ptr<LiveCore> m_core;
};

}  // namespace live
