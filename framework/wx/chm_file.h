// Reads the pages of a compiled HTML help file (.chm) into memory.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct mschmd_file;

namespace fw::wxui {

// What a compiled help file says about itself: its title, its first topic, and the names of
// its contents and index files.
struct HelpProject {
    std::string title;
    std::string defaultTopic;
    std::string contents;
    std::string index;
};

class ChmFile {
public:
    // nullptr when the file is missing, is not a regular file or is not a help file.
    static std::unique_ptr<ChmFile> Open(const std::string& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // The names of the file's pages and pictures, each with its leading '/'.
    std::vector<std::string> Entries() const;
    // An entry's bytes. The name may omit the leading '/' and is compared ignoring case, as the
    // help files' own links are; nullopt when there is no such entry or it does not decompress.
    // Entries larger than any help page or picture are refused, so a damaged size cannot
    // exhaust memory.
    std::optional<std::string> Read(std::string_view name) const;
    // Whether the page of a topic as links name it ("general.htm" of "general.htm#width") is an
    // entry; its anchor is the viewer's business, as in any browser.
    bool HasTopic(std::string_view topic) const;

    // The project as the help compiler recorded it. Contents, index and first topic are named
    // only when the file holds them as plain entries: a help file never points the viewer
    // elsewhere.
    HelpProject Project() const;

    static constexpr std::size_t kMaxEntryBytes = 16u << 20;

private:
    struct State;
    ::mschmd_file* Find(std::string_view name) const;
    explicit ChmFile(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace fw::wxui
