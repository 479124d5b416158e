// The stand-in engine, built as Quellmark.exe for the tests and the demo folder: it notes how
// it was started, whether the bitmaps terrain.ini names open, and what terrain.ini held at that
// moment, then ends.
//
// The record goes to quellmark-run.log in the working directory, or to the path in
// QUELLMARK_STANDIN_LOG. Its layout, one item a line:
//   quellmark-standin 2
//   cwd=<working directory>
//   argc=<argc>
//   argv[<i>]=<argument>            for each argument after the program name
//   bitmap <KEY>=<name>: opens      for MAP_NAME and TEXTURE_NAME when terrain.ini sets them,
//   bitmap <KEY>=<name>: fails <n>  the name's bytes as the engine reads them, and the error
//                                   of the failed open (CreateFileA on Windows, open on Linux)
//   terrain.ini=missing             or
//   terrain.ini=<n> bytes           followed by exactly those n bytes
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#endif

namespace {

std::string WorkingDirectory()
{
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    return error ? "?" : cwd.string();
}

// Written beside its final place and renamed over it, so a test polling for the record
// never reads half of one.
bool WriteAtomically(const std::string& path, const std::string& text)
{
    const std::string temp = path + ".tmp." + std::to_string(getpid());
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

// The bitmap names as the engine reads terrain.ini: spaces removed, '#' lines skipped, the key
// before the first '=', the value after the last; the last line of a key wins.
std::string BitmapLines(const std::string& ini)
{
    std::string map, texture;
    bool hasMap = false, hasTexture = false;
    std::size_t start = 0;
    while (start < ini.size()) {
        std::size_t end = ini.find('\n', start);
        if (end == std::string::npos)
            end = ini.size();
        std::string line;
        for (std::size_t i = start; i < end; ++i)
            if (ini[i] != ' ' && ini[i] != '\r')
                line += ini[i];
        start = end + 1;
        const std::size_t first = line.find('=');
        if (line.empty() || line[0] == '#' || first == std::string::npos)
            continue;
        const std::string key = line.substr(0, first);
        const std::string value = line.substr(line.rfind('=') + 1);
        if (key == "MAP_NAME") {
            map = value;
            hasMap = true;
        } else if (key == "TEXTURE_NAME") {
            texture = value;
            hasTexture = true;
        }
    }
    std::string lines;
    const auto note = [&lines](const char* key, const std::string& name) {
#ifdef _WIN32
        const HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        const bool opened = file != INVALID_HANDLE_VALUE;
        const unsigned long error = opened ? 0 : GetLastError();
        if (opened)
            CloseHandle(file);
#else
        const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        const bool opened = fd >= 0;
        const int error = opened ? 0 : errno;
        if (opened)
            ::close(fd);
#endif
        lines += std::string("bitmap ") + key + "=" + name + (opened ? ": opens" : ": fails " + std::to_string(error)) +
                 "\n";
    };
    if (hasMap)
        note("MAP_NAME", map);
    if (hasTexture)
        note("TEXTURE_NAME", texture);
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    std::string record = "quellmark-standin 2\n";
    record += "cwd=" + WorkingDirectory() + "\n";
    record += "argc=" + std::to_string(argc) + "\n";
    for (int i = 1; i < argc; ++i)
        record += "argv[" + std::to_string(i) + "]=" + argv[i] + "\n";

    std::ifstream ini("terrain.ini", std::ios::binary);
    if (ini) {
        const std::string content((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
        record += BitmapLines(content);
        record += "terrain.ini=" + std::to_string(content.size()) + " bytes\n" + content;
    } else {
        record += "terrain.ini=missing\n";
    }

    const char* logPath = std::getenv("QUELLMARK_STANDIN_LOG");
    const std::string path = logPath != nullptr && *logPath != '\0' ? logPath : "quellmark-run.log";
    if (!WriteAtomically(path, record)) {
        std::fprintf(stderr, "Quellmark.exe (stand-in): cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    std::printf("Quellmark.exe (stand-in): started in %s, record in %s\n", WorkingDirectory().c_str(), path.c_str());
    return 0;
}
