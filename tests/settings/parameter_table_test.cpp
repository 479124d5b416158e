// The parameter table: its 38 defaults, exact lookup, typed stores and string ownership.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "settings/parameter_descriptions.h"
#include "settings/parameter_table.h"
#include "settings_test_support.h"

using settings_test::bitsOf;

static_assert(sizeof(ParameterType) == 1);
static_assert(sizeof(ParameterValue) == sizeof(void*));
static_assert(ParameterTable::NotFound == 65535);
static_assert(ParameterTable::EntryCount == 38);

namespace {

class SettingsTable : public ::testing::Test {
protected:
    void SetUp() override { table.buildDefaults(); }
    ParameterTable table;
};

// Keys and types written out independently of kParameters, so that a typo there is caught here.
// The defaults themselves are the golden file's (tests/data/settings/written/defaults.ini, which
// the writer's test compares with): here they only have to be the rows'.
struct ExpectedRow {
    const char* key;
    char type; // 'i', 'f', 's'
};
constexpr ExpectedRow kExpected[] = {
    {"FULLSCREEN", 'i'},
    {"WIDTH", 'i'},
    {"HEIGHT", 'i'},
    {"TRANS_SPEED", 'f'},
    {"FREE_MOVE", 'i'},
    {"BENCHMARK", 'i'},
    {"SHOW_CULL", 'i'},
    {"USE_VERTEX_ARRAY", 'i'},
    {"USE_COMPILED_VERTEX_ARRAY", 'i'},
    {"USE_MULTIDRAW_EXT", 'i'},
    {"USE_ARB_EXT", 'i'},
    {"GLOBAL_DETAIL", 'f'},
    {"LOCAL_DETAIL", 'f'},
    {"MAX_DETAIL", 'i'},
    {"MIN_DETAIL", 'i'},
    {"FRUSTUM_CULLING", 'i'},
    {"FIELD_OF_VIEW", 'f'},
    {"FIELD_OF_VIEW_ASPECT", 'f'},
    {"CLIP_PLANE_NEAR", 'f'},
    {"CLIP_PLANE_FAR", 'f'},
    {"TEXTURE_MAPPING", 'i'},
    {"TEXTURE_EDGE_LEN", 'f'},
    {"MAP_NAME", 's'},
    {"TEXTURE_NAME", 's'},
    {"STRAFE_LEFT", 's'},
    {"STRAFE_RIGHT", 's'},
    {"MOVE_FORWARD", 's'},
    {"MOVE_BACKWARD", 's'},
    {"MOVE_UP", 's'},
    {"MOVE_DOWN", 's'},
    {"SHADE_SWITCH", 's'},
    {"POLY_SWITCH", 's'},
    {"TEXTURE_SWITCH", 's'},
    {"CULL_SWITCH", 's'},
    {"DETAIL_UP", 's'},
    {"DETAIL_DOWN", 's'},
    {"LOCALDETAIL_UP", 's'},
    {"LOCALDETAIL_DOWN", 's'},
};
static_assert(std::size(kExpected) == ParameterTable::EntryCount);

void expectAllBitsSet(ParameterValue value)
{
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    for (unsigned char byte : bytes)
        EXPECT_EQ(byte, 0xFF);
    EXPECT_EQ(value.intValue, -1);
    EXPECT_TRUE(std::isnan(value.floatValue));
}

TEST_F(SettingsTable, DefaultsHaveTheirRowsKeysTypesAndValuesInIndexOrder)
{
    ASSERT_EQ(table.count(), 38);
    for (int i = 0; i < 38; ++i) {
        SCOPED_TRACE(kExpected[i].key);
        EXPECT_STREQ(table.names()[i], kExpected[i].key);
        const ParameterEntry& entry = table.entries()[i];
        const ParameterInfo& row = kParameters[i];
        switch (kExpected[i].type) {
        case 'i':
            ASSERT_EQ(entry.type, ParameterType::Int);
            EXPECT_EQ(entry.value.intValue, row.intDefault);
            break;
        case 'f':
            ASSERT_EQ(entry.type, ParameterType::Float);
            EXPECT_EQ(bitsOf(entry.value.floatValue), bitsOf(row.floatDefault));
            break;
        default: ASSERT_EQ(entry.type, ParameterType::String); EXPECT_STREQ(entry.value.stringValue, row.textDefault);
        }
    }
}

// The window shows these texts as tooltips: a default changed in one table and not in the other
// would tell users a wrong default.
TEST(SettingsDescriptions, EveryRowHasATextThatEndsWithItsDefault)
{
    for (size_t i = 0; i < kParameters.size(); ++i) {
        const ParameterInfo& row = kParameters[i];
        SCOPED_TRACE(row.key);
        const std::string text = kParameterDescriptions[i] != nullptr ? kParameterDescriptions[i] : "";
        std::string shown;
        switch (row.type) {
        case ParameterType::Int:
            // A flag reads as its check box shows it.
            if (text.find(" On or off. ") != std::string::npos)
                shown = row.intDefault != 0 ? "on" : "off";
            else
                shown = std::to_string(row.intDefault);
            break;
        case ParameterType::Float: {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.1f", static_cast<double>(row.floatDefault));
            shown = buffer;
            break;
        }
        case ParameterType::String: shown = row.textDefault; break;
        }
        const std::string ending = " Default: " + shown + ".";
        ASSERT_GT(text.size(), ending.size());
        EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
        EXPECT_EQ(text.find("Default:"), text.size() - ending.size() + 1) << "one default only";
    }
}

TEST_F(SettingsTable, EveryStringEntryOwnsItsOwnCopy)
{
    for (int i = 0; i < 38; ++i) {
        if (table.entries()[i].type != ParameterType::String)
            continue;
        EXPECT_NE(table.entries()[i].value.stringValue, kParameters[i].textDefault) << kParameters[i].key;
        for (int j = 0; j < i; ++j)
            EXPECT_NE(table.entries()[i].value.stringValue, table.entries()[j].value.stringValue);
    }
}

TEST_F(SettingsTable, FindIndexMatchesWholeKeysExactly)
{
    EXPECT_EQ(table.findIndex("FULLSCREEN"), 0);
    EXPECT_EQ(table.findIndex("MAX_DETAIL"), 13);
    EXPECT_EQ(table.findIndex("MIN_DETAIL"), 14);
    EXPECT_EQ(table.findIndex("LOCALDETAIL_DOWN"), 37);
    for (const char* miss : {"width", "Width", "", "WIDT", "WIDTH ", " WIDTH", "WIDTHS", "WIDTH\t"})
        EXPECT_EQ(table.findIndex(miss), 65535) << '"' << miss << '"';
    EXPECT_EQ(table.findIndex(nullptr), 65535);
}

TEST(SettingsTableEmpty, LooksUpNothingAndReleasesHarmlessly)
{
    ParameterTable table;
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.entries(), nullptr);
    EXPECT_EQ(table.names(), nullptr);
    EXPECT_EQ(table.findIndex("WIDTH"), 65535);
    ParameterValue value{};
    value.intValue = 1;
    EXPECT_EQ(table.setValue("WIDTH", ParameterType::Int, value), -1);
    expectAllBitsSet(table.valueAt(0));
    table.release();
    table.release();
}

TEST_F(SettingsTable, SetValueStoresIntAndFloat)
{
    ParameterValue value{};
    value.intValue = 1024;
    EXPECT_EQ(table.setValue("WIDTH", ParameterType::Int, value), 0);
    EXPECT_EQ(table.valueAt(RowOf("WIDTH")).intValue, 1024);

    value.floatValue = -0.5f;
    EXPECT_EQ(table.setValue("CLIP_PLANE_FAR", ParameterType::Float, value), 0);
    EXPECT_EQ(bitsOf(table.valueAt(RowOf("CLIP_PLANE_FAR")).floatValue), bitsOf(-0.5f));
}

TEST_F(SettingsTable, SetValueRefusesUnknownNamesAndForeignTypes)
{
    ParameterValue value{};
    value.floatValue = 3.0f;
    EXPECT_EQ(table.setValue("WIDTH", ParameterType::Float, value), -1);
    EXPECT_EQ(table.valueAt(RowOf("WIDTH")).intValue, DefaultsOf("WIDTH").intDefault);
    EXPECT_EQ(table.entries()[RowOf("WIDTH")].type, ParameterType::Int);

    char text[] = "x.bmp";
    value.stringValue = text;
    EXPECT_EQ(table.setValue("WIDTH", ParameterType::String, value), -1);
    EXPECT_EQ(table.valueAt(RowOf("WIDTH")).intValue, DefaultsOf("WIDTH").intDefault);
    value.intValue = 7;
    EXPECT_EQ(table.setValue("MAP_NAME", ParameterType::Int, value), -1);
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, DefaultsOf("MAP_NAME").textDefault);
    EXPECT_EQ(table.setValue("width", ParameterType::Int, value), -1);
    EXPECT_EQ(table.setValue("NO_SUCH_KEY", ParameterType::Int, value), -1);
    EXPECT_EQ(table.valueAt(RowOf("WIDTH")).intValue, DefaultsOf("WIDTH").intDefault);

    value.stringValue = nullptr;
    EXPECT_EQ(table.setValue("MAP_NAME", ParameterType::String, value), -1);
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, DefaultsOf("MAP_NAME").textDefault);
}

TEST_F(SettingsTable, SetValueCopiesTextTheCallerKeeps)
{
    char* buffer = new char[16];
    std::strcpy(buffer, "first.bmp");
    ParameterValue value{};
    value.stringValue = buffer;
    ASSERT_EQ(table.setValue("MAP_NAME", ParameterType::String, value), 0);
    EXPECT_NE(table.valueAt(RowOf("MAP_NAME")).stringValue, buffer);
    std::strcpy(buffer, "changed");
    delete[] buffer;
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, "first.bmp");

    // The second store frees the first copy (the sanitizer build would report a leak).
    char second[] = "second.bmp";
    value.stringValue = second;
    ASSERT_EQ(table.setValue("MAP_NAME", ParameterType::String, value), 0);
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, "second.bmp");

    char empty[] = "";
    value.stringValue = empty;
    ASSERT_EQ(table.setValue("MAP_NAME", ParameterType::String, value), 0);
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, "");
    EXPECT_NE(table.valueAt(RowOf("MAP_NAME")).stringValue, empty);
}

TEST_F(SettingsTable, SetValueWithTheEntrysOwnTextKeepsIt)
{
    ParameterValue own = table.valueAt(RowOf("MAP_NAME"));
    ASSERT_EQ(table.setValue("MAP_NAME", ParameterType::String, own), 0);
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, DefaultsOf("MAP_NAME").textDefault);
}

TEST_F(SettingsTable, ValueAtOutsideTheTableHasEveryBitSet)
{
    EXPECT_STREQ(table.valueAt(ParameterTable::EntryCount - 1).stringValue, DefaultsOf("LOCALDETAIL_DOWN").textDefault);
    expectAllBitsSet(table.valueAt(38));
    expectAllBitsSet(table.valueAt(-1));
    expectAllBitsSet(table.valueAt(INT_MIN));
    expectAllBitsSet(table.valueAt(INT_MAX));
}

TEST_F(SettingsTable, ReleaseEmptiesTheTableAndMayRepeat)
{
    table.release();
    EXPECT_EQ(table.entries(), nullptr);
    EXPECT_EQ(table.names(), nullptr);
    EXPECT_EQ(table.findIndex("WIDTH"), 65535);
    expectAllBitsSet(table.valueAt(0));
    table.release();

    table.buildDefaults();
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, DefaultsOf("MAP_NAME").textDefault);
}

TEST_F(SettingsTable, RebuildingDefaultsDropsEarlierValues)
{
    char text[] = "x.bmp";
    ParameterValue value{};
    value.stringValue = text;
    table.setValue("MAP_NAME", ParameterType::String, value);
    table.buildDefaults();
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, DefaultsOf("MAP_NAME").textDefault);
}

} // namespace
