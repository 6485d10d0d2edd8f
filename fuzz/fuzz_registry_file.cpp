// Arbitrary bytes as the device's registry file: values are read from it, a
// value is written, and the written value must read back. A file that does
// not read is kept aside byte for byte before the write replaces it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <pugixml.hpp>

#include "platform/base/WideString.h"
#include "platform/file/File.h"
#include "platform/registry/Registry.h"

namespace {

const std::string& Folder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/corvane-fuzz-registry-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            std::abort();
        ::setenv("CORVANE_DEVICE", pattern, 1);
        return std::string(pattern);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Folder() + "/registry.xml";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    ::unlink((path + ".damaged").c_str());
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_CLASSES_ROOT}) {
        (void)platform::registry::ReadString(root, u"ControlPanel\\Home", u"Scheme");
        (void)platform::registry::ReadString(root, u"a/b");
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Fuzz", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        std::abort();
    const char16_t value[] = u"x";
    if (RegSetValueExW(key, u"Probe", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value) != ERROR_SUCCESS)
        std::abort();
    RegCloseKey(key);
    if (platform::registry::ReadString(HKEY_CURRENT_USER, u"Fuzz", u"Probe") != u"x")
        std::abort();
    // Bytes that are no registry document were replaced by the write: they
    // must be kept whole beside it. A document that read gets no copy.
    pugi::xml_document document;
    bool readable = document.load_buffer(data, size) && document.child("registry");
    std::string kept;
    bool hasCopy = platform::ReadWholeFile(path + ".damaged", platform::FileShare::Read, kept, size + 1);
    if (hasCopy != (!readable && size > 0) || (hasCopy && kept != bytes))
        std::abort();
    return 0;
}
