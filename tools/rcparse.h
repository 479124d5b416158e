// Reads the dialog templates and bitmaps of a resource script into plain data, so that
// rc2cpp can turn them into the C++ tables the non-Windows backends use.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/dialog_template.h"

namespace rc {

struct Control {
    int id = IDC_STATIC;
    fw::ControlKind kind = fw::ControlKind::Static;
    std::string caption;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0; // the full style, with the statement's implied bits
    std::string file;
    int line = 0;
};

struct Dialog {
    int id = 0;
    std::string caption;
    int cx = 0, cy = 0;
    std::string fontName;
    int fontPointSize = 0;
    DWORD style = 0;
    std::vector<Control> controls; // template order
    std::string file;
    int line = 0;
};

struct Bitmap {
    int id = 0;
    std::vector<std::uint8_t> dib; // the file without its 14-byte file header
    std::string file;
    int line = 0;
};

struct Script {
    std::vector<Dialog> dialogs;
    std::vector<Bitmap> bitmaps;
};

// A script the parser cannot read: where, and what was not understood.
class ParseError : public std::runtime_error {
public:
    ParseError(std::string file, int line, const std::string& message)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + message), file_(std::move(file)), line_(line)
    {
    }
    const std::string& file() const { return file_; }
    int line() const { return line_; }

private:
    std::string file_;
    int line_;
};

// Returns the bytes of a file, or nothing when it cannot be read. Paths are as the script
// names them, joined to the directory of the file that names them.
using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

// Parses the script at path and everything it includes with quotes; system headers (<...>)
// are skipped, their constants are known to the parser. Throws ParseError.
Script ParseScript(const std::string& path, const FileReader& read);

// The reader that reads files from disk.
std::optional<std::string> ReadFromDisk(const std::string& path);

} // namespace rc
