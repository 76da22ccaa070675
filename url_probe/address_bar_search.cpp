#include "url_probe/address_bar_search.h"

#include <cstdint>
#include <memory>

#include "url_probe/msaa_walk.h"
#include "url_probe/url_text.h"

namespace orvane::url_probe {
namespace {

// Result codes below 2 as unsigned are S_OK and S_FALSE: both must be balanced.
bool NeedsUninitialize(int32_t hr) { return static_cast<uint32_t>(hr) < 2; }

unsigned Hex(int32_t hr) { return static_cast<unsigned>(hr); }

class Search {
 public:
  Search(ProbePlatform& platform, WindowHandle hwnd, ProbeForm form, TraceSink trace)
      : platform_(platform), hwnd_(hwnd), traced_(form == ProbeForm::kTraced), trace_(trace) {}

  // Every COM object lives inside this call, so all are released before COM is uninitialised.
  std::u16string Run() {
    std::u16string url;
    if (SearchEdits(url)) Trace(u"  final url=\"%s\"", url.c_str());
    return url;
  }

 private:
  // The search's own lines go out in the traced form only; the walk traces in both.
  template <typename... Args>
  void Trace(const char16_t* format, Args... args) {
    if (traced_) trace_(format, args...);
  }

  // Fills `url`; false when the search ended before the Edit controls were found.
  bool SearchEdits(std::u16string& url) {
    PortResult<UiaAutomation> automation = platform_.CreateAutomation();
    if (!automation.object) {
      Trace(u"  CoCreateInstance(CUIAutomation) failed hr=0x%08x", Hex(automation.hr));
      return false;
    }
    PortResult<UiaElement> root = automation.object->ElementFromHandle(hwnd_);
    if (!root.object) {
      Trace(u"  ElementFromHandle failed hr=0x%08x", Hex(root.hr));
      return false;
    }
    if (traced_) TraceRoot(*root.object);
    std::unique_ptr<UiaCondition> condition = automation.object->CreateEditCondition();
    if (!condition) return false;
    std::unique_ptr<UiaElementArray> edits = root.object->FindAllDescendants(*condition);
    if (!edits) return false;

    url = ExamineEdits(*edits);
    if (url.empty()) {
      url = msaa_find_url(platform_, hwnd_, trace_);
      Trace(u"  msaa fallback url=\"%s\"", url.c_str());
    }
    return true;
  }

  void TraceRoot(UiaElement& root) {
    if (const auto name = root.CurrentName()) trace_(u"  root.Name=\"%s\"", name->c_str());
    if (const auto class_name = root.CurrentClassName()) {
      trace_(u"  root.ClassName=\"%s\"", class_name->c_str());
    }
  }

  // The definite address bar's value, else the first URL-like value, else empty.
  std::u16string ExamineEdits(UiaElementArray& edits) {
    const int32_t count = edits.Length();
    Trace(u"  found %d Edit controls", count);
    std::u16string fallback_url;
    for (int32_t i = 0; i < count; ++i) {
      std::unique_ptr<UiaElement> edit = edits.GetElement(i);
      if (!edit) continue;
      const std::u16string id = edit->CurrentAutomationId().value_or(u"");
      const std::u16string name = edit->CurrentName().value_or(u"");
      const bool definite = is_definite_address_bar(id, name);
      std::unique_ptr<UiaValuePattern> pattern = edit->GetValuePattern();
      if (!pattern) {
        Trace(u"  edit[%d] id=\"%s\" name=\"%s\" (no ValuePattern)", i, id.c_str(), name.c_str());
        continue;
      }
      const std::u16string value = pattern->CurrentValue().value_or(u"");
      const bool urlish = is_urlish(value);
      Trace(u"  edit[%d] id=\"%s\" name=\"%s\" value=\"%s\" definite=%d urlish=%d", i, id.c_str(),
            name.c_str(), value.c_str(), definite ? 1 : 0, urlish ? 1 : 0);
      if (value.empty()) continue;
      if (definite) return value;
      if (fallback_url.empty() && urlish) fallback_url = value;
    }
    return fallback_url;
  }

  ProbePlatform& platform_;
  WindowHandle hwnd_;
  bool traced_;
  TraceSink trace_;
};

}  // namespace

std::u16string probe_url_for_window(ProbePlatform& platform, WindowHandle hwnd, ProbeForm form,
                                    TraceSink trace) {
  if (hwnd == nullptr) return {};
  const bool traced = form == ProbeForm::kTraced;
  if (traced) trace(u"--- ov_get_url_for_hwnd hwnd=%p ---", hwnd);
  const int32_t hr = platform.InitializeCom();
  const bool need_uninit = NeedsUninitialize(hr);
  if (traced) trace(u"  CoInitializeEx hr=0x%08x need_uninit=%d", Hex(hr), need_uninit ? 1 : 0);
  std::u16string url;
  try {
    url = Search(platform, hwnd, form, trace).Run();
  } catch (...) {
    // Out of memory mid-search: an empty answer, and COM still balanced.
    url.clear();
  }
  if (need_uninit) platform.UninitializeCom();
  return url;
}

}  // namespace orvane::url_probe
