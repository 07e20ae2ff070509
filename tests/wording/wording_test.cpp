#include "wording/wording.h"

#include <gtest/gtest.h>

#include "resources/string_table.h"

namespace pavix {
namespace {

// Files name built-ins by the text form's own table, which began as the English display names.
// A change of an English text must not slip into the files unnoticed: it fails here, and the
// spelling stays as it is.
TEST(WordingTest, BuiltinSpellingsAreTheEnglishDisplayNamesOfTheirTime) {
    for (BuiltinCommandId id = -1; id <= kBuiltinCommandCount; ++id) {
        const char* english =
            resources::FindString(resources::Language::English, BuiltinCommandTextId(id));
        ASSERT_NE(english, nullptr) << id;
        EXPECT_EQ(BuiltinCommandSpelling(id), english) << id;
    }
}

}  // namespace
}  // namespace pavix
