#include "runner/engine_project.h"

#include <utility>

namespace orvane {

EngineProject::EngineProject(const std::u16string& base_folder)
    : assets_path_(base_folder + u"\\flutter_assets"),
      icu_data_path_(base_folder + u"\\icudtl.dat"),
      aot_library_path_(base_folder + u"\\app.so") {}

void EngineProject::set_entrypoint_arguments(std::vector<std::string>& arguments) {
  entrypoint_arguments_ = std::move(arguments);
  arguments.clear();
}

}  // namespace orvane
