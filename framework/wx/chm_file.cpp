// Help files through libmspack, with an I/O layer that decompresses entries into memory.
#include "framework/wx/chm_file.h"

#include <mspack.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/core/system.h"

namespace fw::wxui {
namespace {

// libmspack writes an extracted entry through its I/O layer: this one sends writes to a string
// and reads the help file itself through stdio.
struct File {
    std::FILE* stream = nullptr;
    std::string* output = nullptr;
};

struct MemorySystem {
    mspack_system base; // first, so that libmspack's pointer is also ours
    std::string* output = nullptr;
};

// Only a regular file is a help file: a FIFO or a device would block or never end.
std::FILE* OpenHelpFile(const char* filename)
{
    const int fd = fw::OpenRegularFile(filename);
    if (fd < 0)
        return nullptr;
    std::FILE* stream = ::fdopen(fd, "rb");
    if (stream == nullptr)
        ::close(fd);
    return stream;
}

mspack_file* Open(mspack_system* self, const char* filename, int mode)
{
    auto* system = reinterpret_cast<MemorySystem*>(self);
    auto* file = new File;
    if (mode == MSPACK_SYS_OPEN_WRITE && system->output != nullptr) {
        file->output = system->output;
        file->output->clear();
    } else if (mode == MSPACK_SYS_OPEN_READ) {
        file->stream = OpenHelpFile(filename);
    }
    if (file->stream == nullptr && file->output == nullptr) {
        delete file;
        return nullptr;
    }
    return reinterpret_cast<mspack_file*>(file);
}

void Close(mspack_file* handle)
{
    auto* file = reinterpret_cast<File*>(handle);
    if (file->stream != nullptr)
        std::fclose(file->stream);
    delete file;
}

int Read(mspack_file* handle, void* buffer, int bytes)
{
    auto* file = reinterpret_cast<File*>(handle);
    if (file->stream == nullptr || bytes < 0)
        return -1;
    const size_t n = std::fread(buffer, 1, static_cast<size_t>(bytes), file->stream);
    if (n == 0 && std::ferror(file->stream))
        return -1;
    return static_cast<int>(n);
}

int Write(mspack_file* handle, void* buffer, int bytes)
{
    auto* file = reinterpret_cast<File*>(handle);
    if (file->output == nullptr || bytes < 0 ||
        static_cast<size_t>(bytes) > ChmFile::kMaxEntryBytes - std::min(file->output->size(), ChmFile::kMaxEntryBytes))
        return -1;
    file->output->append(static_cast<const char*>(buffer), static_cast<size_t>(bytes));
    return bytes;
}

int Seek(mspack_file* handle, off_t offset, int mode)
{
    auto* file = reinterpret_cast<File*>(handle);
    if (file->stream == nullptr)
        return -1;
    int whence = SEEK_SET;
    if (mode == MSPACK_SYS_SEEK_CUR)
        whence = SEEK_CUR;
    else if (mode == MSPACK_SYS_SEEK_END)
        whence = SEEK_END;
    return fseeko(file->stream, offset, whence) == 0 ? 0 : -1;
}

off_t Tell(mspack_file* handle)
{
    auto* file = reinterpret_cast<File*>(handle);
    return file->stream != nullptr ? ftello(file->stream) : static_cast<off_t>(file->output->size());
}

// The library's warnings about damaged files: the caller sees the failed read instead.
void Message(mspack_file*, const char*, ...) {}

void* Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void Free(void* p) { std::free(p); }
void Copy(void* source, void* destination, size_t bytes) { std::memmove(destination, source, bytes); }

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

struct ChmFile::State {
    std::string path; // the library keeps a pointer to the name and reopens the file by it
    MemorySystem system{};
    mschm_decompressor* decompressor = nullptr;
    mschmd_header* header = nullptr;

    ~State()
    {
        if (header != nullptr)
            decompressor->close(decompressor, header);
        if (decompressor != nullptr)
            mspack_destroy_chm_decompressor(decompressor);
    }
};

ChmFile::ChmFile(std::unique_ptr<State> state) : m_state(std::move(state)) {}
ChmFile::~ChmFile() = default;

std::unique_ptr<ChmFile> ChmFile::Open(const std::string& path)
{
    auto state = std::make_unique<State>();
    state->path = path;
    state->system.base = {&fw::wxui::Open, &Close, &fw::wxui::Read, &Write, &Seek,  &Tell,
                          &Message,        &Alloc, &Free,           &Copy,  nullptr};
    state->decompressor = mspack_create_chm_decompressor(&state->system.base);
    if (state->decompressor == nullptr)
        return nullptr;
    state->header = state->decompressor->open(state->decompressor, state->path.c_str());
    if (state->header == nullptr)
        return nullptr;
    return std::unique_ptr<ChmFile>(new ChmFile(std::move(state)));
}

std::vector<std::string> ChmFile::Entries() const
{
    std::vector<std::string> names;
    for (const mschmd_file* f = m_state->header->files; f != nullptr; f = f->next)
        if (f->filename != nullptr)
            names.emplace_back(f->filename);
    return names;
}

mschmd_file* ChmFile::Find(std::string_view name) const
{
    std::string wanted(name);
    if (wanted.empty() || wanted.front() != '/')
        wanted.insert(wanted.begin(), '/');
    for (mschmd_file* f = m_state->header->files; f != nullptr; f = f->next)
        if (f->filename != nullptr && SameName(f->filename, wanted))
            return f;
    return nullptr;
}

std::optional<std::string> ChmFile::Read(std::string_view name) const
{
    mschmd_file* f = Find(name);
    if (f == nullptr || f->length < 0 || static_cast<std::uint64_t>(f->length) > kMaxEntryBytes)
        return std::nullopt;
    std::string bytes;
    m_state->system.output = &bytes;
    const int error = m_state->decompressor->extract(m_state->decompressor, f, "");
    m_state->system.output = nullptr;
    if (error != MSPACK_ERR_OK || bytes.size() != static_cast<size_t>(f->length))
        return std::nullopt;
    return bytes;
}

bool ChmFile::HasTopic(std::string_view topic) const
{
    const std::string_view page = topic.substr(0, topic.find('#'));
    return !page.empty() && Find(page) != nullptr;
}

HelpProject ChmFile::Project() const
{
    HelpProject project;
    const std::optional<std::string> system = Read("#SYSTEM");
    if (!system)
        return project;
    // A 32-bit version, then records of a 16-bit code, a 16-bit length and that many bytes;
    // the names are NUL-terminated strings.
    const auto byte = [&](size_t at) { return static_cast<size_t>(static_cast<unsigned char>((*system)[at])); };
    for (size_t at = 4; at + 4 <= system->size();) {
        const size_t code = byte(at) | byte(at + 1) << 8;
        const size_t length = byte(at + 2) | byte(at + 3) << 8;
        at += 4;
        if (length > system->size() - at)
            break;
        std::string value = system->substr(at, length);
        value.resize(std::min(value.find('\0'), value.size()));
        at += length;
        switch (code) {
        case 0: project.contents = std::move(value); break;
        case 1: project.index = std::move(value); break;
        case 2: project.defaultTopic = std::move(value); break;
        case 3: project.title = std::move(value); break;
        default: break;
        }
    }
    // The viewer reads these names as locations of its own: a ':' (or, in the name of a file, a
    // '#') would lead it out of this file, so only plain names of entries it holds count.
    for (std::string* name : {&project.contents, &project.index})
        if (name->find_first_of("#:") != std::string::npos || Find(*name) == nullptr)
            name->clear();
    if (project.defaultTopic.find(':') != std::string::npos || !HasTopic(project.defaultTopic))
        project.defaultTopic.clear();
    return project;
}

} // namespace fw::wxui
