// The installed backend.
#include "framework/core/backend.h"

namespace fw {
namespace {
Backend* g_backend = nullptr;
}

Backend* GetBackend() { return g_backend; }

Backend* SetBackend(Backend* backend)
{
    Backend* previous = g_backend;
    g_backend = backend;
    return previous;
}

} // namespace fw
