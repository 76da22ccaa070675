#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "client_wrapper/flutter_engine.h"
#include "client_wrapper/tests/test_support.h"
#include "testing/engine/engine_standin.h"

namespace orvane::testing {

// Runs against a fresh stand-in engine library and, at the end, checks that the library saw no
// call it would reject or crash on, that every reference a reply closure took was given back and
// every messenger lock released.
class StandinTest : public ::testing::Test {
 protected:
  StandinTest() { ResetEngineStandin(); }
  void TearDown() override {
    engine_.reset();
    EngineRecord record = Record();
    EXPECT_EQ(record.violations, std::vector<std::string>{});
    EXPECT_EQ(record.messenger_add_refs, record.messenger_releases);
    EXPECT_EQ(record.messenger_locks, record.messenger_unlocks);
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
