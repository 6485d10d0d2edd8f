// The fixture of the settings screens: a private program folder, a started
// AppCore without network parts that records the events posted to it, the
// program's soft-key resources, and a driver for the modal screens.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "platform/base/WideString.h"
#include "tests/common/TestSupport.h"
#include "tests/ui/settings/ScreenDriver.h"

namespace settingstest {

class EventRecorder : public EventHandler {
public:
    void Handle(const RefPtr<AppEvent>& event) override
    {
        std::lock_guard guard(m_lock);
        m_types.push_back(event->Type());
    }
    int Count(std::int32_t type)
    {
        std::lock_guard guard(m_lock);
        return static_cast<int>(std::count(m_types.begin(), m_types.end(), type));
    }

private:
    std::mutex m_lock;
    std::vector<std::int32_t> m_types;
};

class SettingsFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.Ok());
        app::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_TRUE(resources::RegisterProgramResources(app::Instance()));
        app::SetAppFolder(platform::Utf8ToWide(m_folder.Path() + "/"));
        app::SetProcessCodePage(0);
        m_core = MakeRef<AppCore>(nullptr, AppCoreParts{});
        m_recorder = MakeRef<EventRecorder>();
        m_core->AddHandler(m_recorder);
        m_core->Start();
        app::SetCore(m_core.Get());
    }
    void TearDown() override
    {
        app::SetCore(nullptr);
        m_core->StopWorker();
    }

    std::string ConfigPath() const { return m_folder / "Corvane.config"; }
    void WriteConfig(const std::string& text) const { std::ofstream(ConfigPath(), std::ios::binary) << text; }
    std::string ReadFile(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string ReadConfig() const { return ReadFile(ConfigPath()); }
    // The options as the file holds them now.
    RefPtr<Settings> Stored() const
    {
        RefPtr<Settings> settings = MakeRef<Settings>();
        settings->EnsureLoaded();
        return settings;
    }
    // The events of a type the worker handled, counted once it handled
    // everything posted so far (a marker event goes last).
    int EventsOf(std::int32_t type)
    {
        constexpr std::int32_t kMarker = 62;
        int markers = m_recorder->Count(kMarker);
        m_core->Post(MakeRef<AppEvent>(kMarker));
        EXPECT_TRUE(testsupport::WaitFor([&] { return m_recorder->Count(kMarker) > markers; }));
        return m_recorder->Count(type);
    }
    // Makes every save of `path` fail, as in a folder that cannot be written.
    void BlockWritesTo(const std::string& path) const { std::filesystem::create_directories(path + ".tmp"); }

    testsupport::TempFolder m_folder{"corvane-settings"};
    RefPtr<AppCore> m_core;
    RefPtr<EventRecorder> m_recorder;
    ScreenDriver m_driver;
};

}  // namespace settingstest
