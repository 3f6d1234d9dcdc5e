#include "gamecfg/ValueList.h"

#include "catalog/GameDir.h"
#include "gamecfg/ProfileFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The keys only order the values; a value keeps what follows its first "=", other "=" included.
TEST(ValueListTest, ValuesInKeyOrderAndNothingForAMissingFileOrSection) {
    test::TGameDir folder;
    folder.Write("weather.ini", "; presets\n[thunderbolt]\n3=thunderbolt_default\n1=Thunderbolt_Mire\n"
                                "2=a=b\n\n[env_ambient]\n");
    const ProfileFile file(folder.Path() + "weather.ini");

    EXPECT_THAT(ReadValueList(file, "thunderbolt"),
                ElementsAre("thunderbolt_default", "Thunderbolt_Mire", "a=b"));
    EXPECT_THAT(ReadValueList(file, "env_ambient"), IsEmpty());
    EXPECT_THAT(ReadValueList(file, "absent"), IsEmpty());
    EXPECT_THAT(ReadValueList(ProfileFile(folder.Path() + "missing.ini"), "thunderbolt"), IsEmpty());
}

} // namespace
} // namespace kw
