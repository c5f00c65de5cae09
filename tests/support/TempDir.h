#pragma once

#include <string>
#include <vector>

namespace testsupport {

/// A folder of its own under the system's temporary folder, removed with
/// its content (even entries a test made read-only) at the end of the scope.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    /// Names of the entries, in no particular order.
    std::vector<std::string> entries() const;

private:
    std::string m_path;
};

} // namespace testsupport
