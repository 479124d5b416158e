// The stand-in engine, built as Quellmark.exe for the tests and the demo folder: it notes how
// it was started and what terrain.ini held at that moment, then ends.
//
// The record goes to quellmark-run.log in the working directory, or to the path in
// QUELLMARK_STANDIN_LOG. Its layout, one item a line:
//   quellmark-standin 1
//   cwd=<working directory>
//   argc=<argc>
//   argv[<i>]=<argument>            for each argument after the program name
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

} // namespace

int main(int argc, char** argv)
{
    std::string record = "quellmark-standin 1\n";
    record += "cwd=" + WorkingDirectory() + "\n";
    record += "argc=" + std::to_string(argc) + "\n";
    for (int i = 1; i < argc; ++i)
        record += "argv[" + std::to_string(i) + "]=" + argv[i] + "\n";

    std::ifstream ini("terrain.ini", std::ios::binary);
    if (ini) {
        const std::string content((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
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
