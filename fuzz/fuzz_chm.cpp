// Any bytes as a help file, and as the help command's "file::/topic": the reader opens the file
// or refuses it, never reads outside it, and gives each entry in full, within its bound, or not
// at all; the project names only entries the file holds; the command's topic is split off as
// the viewer is handed it, and looked up in the file.
// The input is the file's bytes; its first line also serves as the help command.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "framework/core/backend.h"
#include "framework/core/system.h"
#include "framework/wx/chm_file.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The viewer without a display: it records what the help command handed it.
class RecordingBackend : public fw::Backend {
public:
    int RunSheet(CPropertySheet&) override { return -1; }
    int RunFileDialog(CFileDialog&) override { return 2; }
    bool ShowHelp(const char* shownFile, const char* shownTopic) override
    {
        shown = true;
        file = shownFile;
        topic = shownTopic;
        return true;
    }
    bool shown = false;
    std::string file;
    std::string topic;
};

// The reader opens help files by name: the input lives in a memory file that has one.
const std::string& InputPath()
{
    static const std::string path = [] {
        const int fd = memfd_create("fuzz.chm", MFD_CLOEXEC);
        Check(fd >= 0);
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void WriteInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = std::atoi(InputPath().c_str() + std::string("/proc/self/fd/").size());
    Check(ftruncate(fd, 0) == 0);
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        Check(n > 0);
        done += static_cast<std::size_t>(n);
    }
}

// "file::/topic": the file is everything before the first "::", the topic what follows it
// without its leading slashes; without "::" the whole text is the file.
void CheckSplit(const std::string& command, const RecordingBackend& viewer)
{
    Check(viewer.shown);
    const std::size_t sep = command.find("::");
    if (sep == std::string::npos) {
        Check(viewer.file == command && viewer.topic.empty());
        return;
    }
    Check(viewer.file == command.substr(0, sep));
    Check(viewer.topic.empty() || (viewer.topic.front() != '/' && viewer.topic.front() != '\\'));
    const std::string rest = command.substr(sep + 2);
    Check(rest.size() >= viewer.topic.size() && rest.ends_with(viewer.topic));
    Check(rest.find_first_not_of("/\\") ==
          (viewer.topic.empty() ? std::string::npos : rest.size() - viewer.topic.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string command = bytes.substr(0, bytes.find_first_of(std::string("\n\0", 2)));

    RecordingBackend viewer;
    fw::Backend* previous = fw::SetBackend(&viewer);
    fw::HtmlHelpA(nullptr, command.c_str(), HH_DISPLAY_TOPIC, 0);
    fw::SetBackend(previous);
    CheckSplit(command, viewer);

    WriteInput(data, size);
    const auto chm = fw::wxui::ChmFile::Open(InputPath());
    if (!chm)
        return 0;
    for (const std::string& entry : chm->Entries()) {
        const std::optional<std::string> content = chm->Read(entry);
        Check(!content || content->size() <= fw::wxui::ChmFile::kMaxEntryBytes);
    }
    const fw::wxui::HelpProject project = chm->Project();
    for (const std::string* name : {&project.contents, &project.index})
        Check(name->empty() || (name->find_first_of("#:") == std::string::npos && chm->HasTopic(*name)));
    Check(project.defaultTopic.empty() ||
          (project.defaultTopic.find(':') == std::string::npos && chm->HasTopic(project.defaultTopic)));
    (void)chm->HasTopic(viewer.topic);
    return 0;
}
