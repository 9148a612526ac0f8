// A temporary directory removed with everything in it when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory, without a trailing "/".
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // EntriesOf(Path()).
    std::vector<std::string> Entries() const;

  private:
    std::string path_;
};

// Names of a directory's entries (hidden ones included), sorted.
std::vector<std::string> EntriesOf(const std::string& directory);

// Whether a file name is one of the hidden temporary files that the crash-safe writer puts
// beside its target (they carry "velmora-", the process id and a random number).
bool IsWriterTemporary(const std::string& fileName);

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// The same for text files, byte for byte (no line-end or encoding conversion), so that they
// compare with literals.
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

}  // namespace velmora::test
