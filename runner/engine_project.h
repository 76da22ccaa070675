#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

// Where the UI program lies and what its entry point receives: read by the engine wrapper when it
// creates the engine. A plain value: copies duplicate every string.
class EngineProject {
 public:
  // Paths are the base folder followed by a fixed suffix, as they stand: the engine library
  // resolves relative paths itself. Nothing is checked on the file system.
  explicit EngineProject(const std::u16string& base_folder);

  const std::u16string& assets_path() const { return assets_path_; }
  const std::u16string& icu_data_path() const { return icu_data_path_; }
  const std::u16string& aot_library_path() const { return aot_library_path_; }
  const std::string& entrypoint() const { return entrypoint_; }
  const std::vector<std::string>& entrypoint_arguments() const { return entrypoint_arguments_; }
  // Passed through to the engine library unchanged; the host leaves both at 0.
  const std::array<int32_t, 2>& engine_options() const { return engine_options_; }

  // Moves the list in; the caller's list is left empty.
  void set_entrypoint_arguments(std::vector<std::string>& arguments);

 private:
  std::u16string assets_path_;
  std::u16string icu_data_path_;
  std::u16string aot_library_path_;
  std::string entrypoint_;
  std::vector<std::string> entrypoint_arguments_;
  std::array<int32_t, 2> engine_options_{0, 0};
};

}  // namespace orvane
