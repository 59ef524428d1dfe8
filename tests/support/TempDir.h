// A temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace sw::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& data);
bool FileExists(const std::string& path);
// Names of the entries of a folder, sorted.
std::string ListFolder(const std::string& path);

}  // namespace sw::test
