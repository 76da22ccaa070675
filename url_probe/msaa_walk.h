#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "url_probe/probe_port.h"
#include "url_probe/probe_trace.h"

namespace orvane::url_probe {

// One URL-like text found in the accessibility tree, with what the choice weighs it by.
struct UrlCandidate {
  std::u16string value;
  int32_t score = 1;
  int32_t depth = 0;
  int32_t role = -1;
  bool focused = false;
};

inline constexpr int32_t kMsaaMaxDepth = 6;

// Appends a candidate for `text` with the fields of `object` when the text looks like a URL.
void add_candidate_if_urlish(const std::u16string& text, const UrlCandidate& object,
                             std::vector<UrlCandidate>& candidates);

// Examines one object and, within max_depth, its children, appending in pre-order.
void msaa_walk(AccObject* object, std::vector<UrlCandidate>& candidates, int32_t depth,
               int32_t max_depth);

// Index of the best candidate: focused first, then the higher score, then the shallower one; a
// full tie keeps the earlier. `candidates` must not be empty.
size_t choose_candidate(const std::vector<UrlCandidate>& candidates);

// The best URL-like text of the window's accessibility tree, or empty.
std::u16string msaa_find_url(ProbePlatform& platform, WindowHandle hwnd, TraceSink trace);

}  // namespace orvane::url_probe
