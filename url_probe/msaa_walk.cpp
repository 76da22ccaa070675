#include "url_probe/msaa_walk.h"

#include <utility>

#include "url_probe/url_text.h"

namespace orvane::url_probe {
namespace {

constexpr int32_t kRolePageTab = 37;
constexpr int32_t kRolePageTabList = 60;
constexpr int32_t kRoleComboBox = 46;
constexpr int32_t kRoleDocument = 15;
constexpr int32_t kRoleText = 42;
constexpr int32_t kRoleLink = 30;
constexpr int32_t kStateFocused = 0x4;
constexpr size_t kTracedCandidates = 12;

int32_t RoleScore(int32_t role) {
  switch (role) {
    case kRoleComboBox:
      return 100;
    case kRoleDocument:
      return 80;
    case kRoleText:
      return 50;
    case kRoleLink:
      return 5;
    default:
      return 1;
  }
}

bool Beats(const UrlCandidate& challenger, const UrlCandidate& best) {
  if (challenger.focused != best.focused) return challenger.focused;
  if (challenger.score != best.score) return challenger.score > best.score;
  return challenger.depth < best.depth;
}

}  // namespace

void add_candidate_if_urlish(const std::u16string& text, const UrlCandidate& object,
                             std::vector<UrlCandidate>& candidates) {
  if (!is_urlish(text)) return;
  UrlCandidate candidate = object;
  candidate.value = text;
  candidates.push_back(std::move(candidate));
}

void msaa_walk(AccObject* object, std::vector<UrlCandidate>& candidates, int32_t depth,
               int32_t max_depth) {
  if (object == nullptr || depth > max_depth) return;
  UrlCandidate here;
  here.role = object->Role().value_or(-1);
  // Tabs name other pages; their URLs would only mislead.
  if (here.role == kRolePageTab || here.role == kRolePageTabList) return;
  here.score = RoleScore(here.role);
  here.depth = depth;
  if (const auto state = object->State()) here.focused = (*state & kStateFocused) != 0;
  if (const auto value = object->Value()) add_candidate_if_urlish(*value, here, candidates);
  if (const auto name = object->Name()) add_candidate_if_urlish(*name, here, candidates);
  // A page's content holds links, not the address.
  if (here.role == kRoleDocument) return;
  const auto count = object->ChildCount();
  if (!count || *count <= 0) return;
  for (auto& child : object->Children(*count)) {
    msaa_walk(child.get(), candidates, depth + 1, max_depth);
    child.reset();
  }
}

size_t choose_candidate(const std::vector<UrlCandidate>& candidates) {
  size_t best = 0;
  for (size_t j = 1; j < candidates.size(); ++j) {
    if (Beats(candidates[j], candidates[best])) best = j;
  }
  return best;
}

std::u16string msaa_find_url(ProbePlatform& platform, WindowHandle hwnd, TraceSink trace) {
  std::vector<UrlCandidate> candidates;
  unsigned elapsed = 0;
  {
    PortResult<AccObject> client = platform.AccessibleObjectFromWindow(hwnd);
    if (!client.object) {
      trace(u"  msaa AccessibleObjectFromWindow failed hr=0x%08x",
            static_cast<unsigned>(client.hr));
      return {};
    }
    const uint32_t t0 = platform.TickCount();
    msaa_walk(client.object.get(), candidates, 0, kMsaaMaxDepth);
    elapsed = platform.TickCount() - t0;
  }
  trace(u"  msaa walk found %d candidates in %ums", static_cast<int>(candidates.size()), elapsed);
  for (size_t i = 0; i < candidates.size() && i < kTracedCandidates; ++i) {
    const UrlCandidate& c = candidates[i];
    trace(u"    candidate[%d] score=%d depth=%d role=%d focused=%d value=\"%s\"",
          static_cast<int>(i), c.score, c.depth, c.role, c.focused ? 1 : 0, c.value.c_str());
  }
  if (candidates.empty()) return {};
  const size_t best = choose_candidate(candidates);
  const UrlCandidate& b = candidates[best];
  trace(u"    picked[%d] score=%d depth=%d focused=%d value=\"%s\"", static_cast<int>(best),
        b.score, b.depth, b.focused ? 1 : 0, b.value.c_str());
  return b.value;
}

}  // namespace orvane::url_probe
