// The stand-in's verdict on what it was asked, for a test to expect empty.
#include <string>
#include <vector>

#include "testing/engine/engine_standin.h"

namespace orvane::testing {

std::vector<std::string> Verdict() {
  const EngineRecord record = Record();
  std::vector<std::string> verdict = record.violations;
  // A reference never given back keeps the messenger forever; a lock never released blocks the
  // library's next answer.
  if (record.messenger_add_refs != record.messenger_releases) {
    verdict.push_back("messenger references taken " + std::to_string(record.messenger_add_refs) +
                      ", given back " + std::to_string(record.messenger_releases));
  }
  if (record.messenger_locks != record.messenger_unlocks) {
    verdict.push_back("messenger locks taken " + std::to_string(record.messenger_locks) +
                      ", released " + std::to_string(record.messenger_unlocks));
  }
  return verdict;
}

}  // namespace orvane::testing
