// The pictures the user asked never to be shown again by the rotation, kept beside the
// selected-folder list (so a portable copy keeps them with its folders) in
// "Excluded.txt": one full path a line, UTF-8, CR LF after every line. Paths are
// compared without regard to letter case, as the file system names them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmaro::state {

inline constexpr const char kExclusionFileName[] = "Excluded.txt";

class ExclusionList {
  public:
    ExclusionList() = default;
    explicit ExclusionList(std::vector<std::string> paths);

    bool contains(std::string_view path) const;
    // Each returns whether the list changed.
    bool add(std::string_view path);
    bool remove(std::string_view path);

    const std::vector<std::string>& paths() const { return paths_; }

    // The file's text and back; empty lines are left out when read.
    std::string to_text() const;
    static ExclusionList from_text(std::string_view text);

  private:
    std::vector<std::string> paths_; // in the order they were excluded
};

} // namespace velmaro::state
