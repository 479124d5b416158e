// Reads the pages of a compiled HTML help file (.chm) into memory.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw::wxui {

class ChmFile {
public:
    // nullptr when the file is missing or is not a help file.
    static std::unique_ptr<ChmFile> Open(const std::string& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // The names of the file's pages and pictures, each with its leading '/'.
    std::vector<std::string> Entries() const;
    // An entry's bytes. The name may omit the leading '/' and is compared ignoring case, as the
    // help files' own links are; nullopt when there is no such entry or it does not decompress.
    std::optional<std::string> Read(std::string_view name) const;

private:
    struct State;
    explicit ChmFile(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace fw::wxui
