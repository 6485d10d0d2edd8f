// A private folder for one test, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <string>

namespace live {

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix)
    {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~TempFolder()
    {
        if (!m_path.empty()) {
            std::string command = "rm -rf '" + m_path + "'";
            if (std::system(command.c_str()) != 0) {
            }
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Ok() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace live
