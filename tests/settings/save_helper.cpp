// Test helper: performs one settings save, so that tests can interrupt a real process mid-save.
// Usage: settings_save_helper PATH VARIANT  (exit status 0 when the save succeeded)
#include <cstdlib>

#include "settings/settings_file.h"
#include "settings_test_support.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const settings_test::SampleValues sample(std::atoi(argv[2]));
    return writeSettingsValues(argv[1], sample.values) ? 0 : 1;
}
