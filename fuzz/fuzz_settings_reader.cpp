// Fuzzes the terrain.ini reader, then checks that what it read survives a write and a re-read.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/core/msgbox.h"
#include "settings/parameter_keys.h"
#include "settings/parameter_table.h"
#include "settings/settings_file.h"

namespace {

int g_messages = 0;

int countMessage(void*, const char*, const char*, UINT)
{
    ++g_messages;
    return IDOK;
}

void overlay(ParameterTable& table, const void* data, std::size_t size)
{
    if (size == 0)
        return;
    std::FILE* stream = fmemopen(const_cast<void*>(data), size, "rb");
    if (stream == nullptr)
        std::abort();
    table.readFrom(stream);
    std::fclose(stream);
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        fw::SetMessageBoxSink({&countMessage, nullptr});
        return true;
    }();
    (void)quiet;

    ParameterTable table;
    table.buildDefaults();
    overlay(table, data, size);
    check(table.count() == ParameterTable::EntryCount);

    std::array<ParameterEntry, ParameterTable::EntryCount> values{};
    for (int i = 0; i < ParameterTable::EntryCount; ++i) {
        check(table.entries()[i].type == kParameters[i].type);
        values[i] = table.entries()[i];
        if (values[i].type == ParameterType::String)
            check(values[i].value.stringValue != nullptr);
    }

    // Whatever the reader accepted, the writer writes and the reader takes back without a word:
    // Ints exactly, Floats to the six decimals written, Strings whole (the reader already
    // removed the spaces and '=' that would not come back) but for a final CR, which joins the
    // line end.
    std::string text;
    check(formatSettingsValues(values, text));
    ParameterTable back;
    back.buildDefaults();
    g_messages = 0;
    overlay(back, text.data(), text.size());
    check(g_messages == 0);
    for (int i = 0; i < ParameterTable::EntryCount; ++i) {
        const ParameterValue before = values[i].value;
        const ParameterValue after = back.valueAt(i);
        switch (values[i].type) {
        case ParameterType::Int: check(after.intValue == before.intValue); break;
        case ParameterType::Float:
            if (std::isnan(before.floatValue))
                check(std::isnan(after.floatValue));
            else if (std::isinf(before.floatValue))
                check(after.floatValue == before.floatValue);
            else
                check(std::fabs(static_cast<double>(after.floatValue) - static_cast<double>(before.floatValue)) <=
                      1e-6);
            break;
        case ParameterType::String: {
            std::string expected = before.stringValue;
            if (!expected.empty() && expected.back() == '\r')
                expected.pop_back();
            check(expected == after.stringValue);
            break;
        }
        }
    }
    return 0;
}
