// A private program folder for history tests, and byte helpers that spell
// out the expected file contents independently of the code under test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include "app/AppGlobals.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "tests/common/TestSupport.h"

namespace historytest {

using Bytes = std::string;

inline Bytes B(std::initializer_list<int> values)
{
    Bytes bytes;
    for (int v : values)
        bytes.push_back(static_cast<char>(v));
    return bytes;
}

// ASCII text as UTF-16 little-endian.
inline Bytes Utf16(const std::string& ascii)
{
    Bytes bytes;
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

inline const Bytes kBom = B({0xFF, 0xFE});
inline const Bytes kCrLf = B({0x0D, 0x00, 0x0A, 0x00});
inline const Bytes kHeader = B({0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});

inline Bytes U32(std::uint32_t v)
{
    return B({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
              static_cast<int>(v >> 24)});
}

// A record of 2024-03-09 21:07:05 unless said otherwise.
inline Bytes Record(std::uint32_t offset, std::uint32_t length, int party = 1, int second = 5)
{
    return B({0xE8, 0x07, 3, 9, 21, 7, second, party}) + U32(offset) + U32(length);
}

inline SYSTEMTIME Time(int second = 5)
{
    SYSTEMTIME time;
    time.wYear = 2024;
    time.wMonth = 3;
    time.wDay = 9;
    time.wDayOfWeek = 6;  // not stored
    time.wHour = 21;
    time.wMinute = 7;
    time.wSecond = static_cast<WORD>(second);
    time.wMilliseconds = 999;  // not stored
    return time;
}

inline std::string Narrow(const WideString& text) { return platform::WideToUtf8(text); }

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetTimeScale(1000);
        ASSERT_TRUE(m_temp.Ok());
        app::SetAppFolder(platform::Utf8ToWide(m_root + "/"));
    }
    void TearDown() override
    {
    }

    std::string Path(const std::string& relative) const { return m_root + "/" + relative; }

    static Bytes ReadBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void WriteBytes(const std::string& path, const Bytes& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    testsupport::TempFolder m_temp{"corvane-history"};
    const std::string m_root = m_temp.Path();
};

}  // namespace historytest
