#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "mq-test-XXXXXX").string();
    if (::mkdtemp(pattern.data())) {
        m_path = pattern;
    }
}

TempDir::~TempDir()
{
    if (m_path.empty()) {
        return;
    }
    // remove_all cannot empty a folder the test left without write access.
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(m_path, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(m_path, ignored);
}

std::vector<std::string> TempDir::entries() const
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_path, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

} // namespace testsupport
