// chm_fix_header: repairs the header of a .chm written by chmcmd, which puts the first of the
// two header GUIDs in both places. Readers that check both (libmspack, so our own help
// viewer) refuse such a file. A correct header is left alone.
// Usage: chm_fix_header FILE.chm
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/bmp_writer.h"

namespace {

// {7C01FD10-7BAA-11D0-9E0C-00A0C922E6EC} and {7C01FD11-...}, as stored.
constexpr unsigned char kGuid1[16] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                      0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
constexpr std::size_t kGuid1At = 0x18;
constexpr std::size_t kGuid2At = 0x28;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: chm_fix_header FILE.chm\n");
        return 2;
    }
    std::string chm;
    if (!tools::ReadFile(argv[1], chm) || chm.size() < kGuid2At + 16 || chm.compare(0, 4, "ITSF") != 0 ||
        std::memcmp(chm.data() + kGuid1At, kGuid1, 16) != 0) {
        std::fprintf(stderr, "chm_fix_header: %s is not a compiled help file\n", argv[1]);
        return 1;
    }
    unsigned char* second = reinterpret_cast<unsigned char*>(chm.data()) + kGuid2At;
    if (std::memcmp(second, kGuid1, 16) != 0)
        return 0;
    second[0] = 0x11;
    std::string error;
    if (!tools::WriteFileAtomically(argv[1], tools::Bytes(chm.begin(), chm.end()), error)) {
        std::fprintf(stderr, "chm_fix_header: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
