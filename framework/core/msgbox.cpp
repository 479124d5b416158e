// Routes message boxes to the installed sink.
#include "framework/core/msgbox.h"

#include <cstdio>
#include <string>

namespace fw {
namespace {

MessageBoxSink g_sink;

// Made on first use: the application object that names it is a static of another file, made
// before or after this one's statics.
std::string& AppName()
{
    static std::string name;
    return name;
}

} // namespace

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink)
{
    MessageBoxSink previous = g_sink;
    g_sink = sink;
    return previous;
}

int MessageBoxA(void* /*owner*/, const char* text, const char* caption, UINT style)
{
    if (text == nullptr)
        text = "";
    if (caption == nullptr)
        caption = "";
    if (g_sink.show != nullptr)
        return g_sink.show(g_sink.context, text, caption, style);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}

const char* AfxGetAppName() { return AppName().c_str(); }

void SetAppName(const char* name) { AppName() = name != nullptr ? name : ""; }

} // namespace fw

int AfxMessageBox(const char* text, UINT type, UINT /*helpContext*/)
{
    return fw::MessageBoxA(nullptr, text, fw::AfxGetAppName(), type);
}
