#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "client_wrapper/flutter_engine.h"
#include "client_wrapper/tests/test_support.h"
#include "testing/engine/engine_standin.h"

namespace orvane::testing {

// Runs against a fresh stand-in engine library and, at the end, expects its verdict to be empty.
class StandinTest : public ::testing::Test {
 protected:
  StandinTest() { ResetEngineStandin(); }
  void TearDown() override {
    engine_.reset();
    EXPECT_EQ(Verdict(), std::vector<std::string>{});
    ResetEngineStandin();
  }

  BinaryMessenger* StartEngine() {
    engine_ = std::make_unique<FlutterEngine>(project_);
    return engine_->messenger();
  }

  EngineProject project_{u"data"};
  std::unique_ptr<FlutterEngine> engine_;
};

}  // namespace orvane::testing
