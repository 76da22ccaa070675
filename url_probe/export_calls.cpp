#include "url_probe/export_calls.h"

#include <algorithm>

#include "url_probe/address_bar_search.h"

namespace orvane::url_probe {

bool export_arguments_valid(WindowHandle hwnd, const char16_t* buffer, int32_t capacity) {
  return hwnd != nullptr && buffer != nullptr && capacity >= 2;
}

int32_t copy_out(const std::u16string& url, char16_t* buffer, int32_t capacity) {
  const size_t room = static_cast<size_t>(capacity) - 1;
  const size_t n = std::min(room, url.size());
  std::copy_n(url.data(), n, buffer);
  buffer[n] = u'\0';
  return static_cast<int32_t>(n);
}

int32_t get_url_for_hwnd(ProbePlatform& platform, WindowHandle hwnd, char16_t* buffer,
                         int32_t capacity) {
  if (!export_arguments_valid(hwnd, buffer, capacity)) return 0;
  buffer[0] = u'\0';
  return copy_out(probe_url_for_window(platform, hwnd, ProbeForm::kTraced), buffer, capacity);
}

void request_url_for_hwnd(StateAccessor state, WindowHandle hwnd) {
  if (hwnd == nullptr) return;
  state().Request(hwnd);
}

int32_t get_cached_url(StateAccessor state, WindowHandle hwnd, char16_t* buffer, int32_t capacity) {
  if (!export_arguments_valid(hwnd, buffer, capacity)) return 0;
  buffer[0] = u'\0';
  // Copied out of the cache under the lock, into the caller's buffer only after it.
  return copy_out(state().CachedUrl(hwnd), buffer, capacity);
}

}  // namespace orvane::url_probe
