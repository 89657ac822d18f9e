// The .def file and the public header must name the same functions, or a caller finds a
// declared function missing from the library.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "library/api/QuorelApi.h"

namespace {

TEST(DefFile, ExportsExactlyTheFunctionsOfThePublicHeader) {
#define QUOREL_NAME(result, name, arguments) #name,
  const std::set<std::string> declared = {QUOREL_FUNCTIONS(QUOREL_NAME)};
#undef QUOREL_NAME
  std::ifstream def("library/api/QuorelApi.def");
  ASSERT_TRUE(def.is_open());
  std::set<std::string> exported;
  std::string line;
  bool in_exports = false;
  while (std::getline(def, line)) {
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    if (word == "EXPORTS") {
      in_exports = true;
    } else if (in_exports) {
      EXPECT_TRUE(exported.insert(word).second) << word << " is exported twice";
    }
  }
  EXPECT_EQ(exported, declared);
  EXPECT_EQ(declared.size(), 119u);
}

}  // namespace
