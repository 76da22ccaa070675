#include "runner/engine_project.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(EngineProject, PathsLieUnderTheBaseFolderAndArgumentsMoveIn) {
  EngineProject project(u"data");
  EXPECT_EQ(project.assets_path(), u"data\\flutter_assets");
  EXPECT_EQ(project.icu_data_path(), u"data\\icudtl.dat");
  EXPECT_EQ(project.aot_library_path(), u"data\\app.so");
  EXPECT_TRUE(project.entrypoint().empty());
  EXPECT_EQ(project.engine_options(), (std::array<int32_t, 2>{0, 0}));

  const EngineProject copied_before = project;
  std::vector<std::string> arguments{"--hidden", "--enable-impeller=true"};
  project.set_entrypoint_arguments(arguments);
  EXPECT_TRUE(arguments.empty());
  EXPECT_EQ(project.entrypoint_arguments(),
            (std::vector<std::string>{"--hidden", "--enable-impeller=true"}));
  EXPECT_TRUE(copied_before.entrypoint_arguments().empty());
}

}  // namespace
}  // namespace orvane
