#include "testing/acc_window/acc_window.h"

#include <oleacc.h>

#include <utility>

namespace orvane::testing {
namespace {

constexpr IID kIidIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr UINT kDestroyMessage = WM_APP + 1;

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// No answer: an empty out-parameter and `result`.
template <class Pointer>
HRESULT None(Pointer** out, HRESULT result = S_FALSE) {
  *out = nullptr;
  return result;
}
HRESULT None(VARIANT* out, HRESULT result = S_FALSE) {
  VariantInit(out);
  return result;
}

HRESULT Text(const std::optional<std::wstring>& text, bool fails, BSTR* out) {
  if (fails || !text) return None(out, fails ? E_FAIL : S_FALSE);
  *out = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
  return S_OK;
}

// One node of the tree. Serves IAccessible and, for AccessibleChildren, IEnumVARIANT over its
// children.
class Node final : public IAccessible, public IEnumVARIANT {
 public:
  Node(const AccNodeSpec& shape, HWND* hwnd, std::shared_ptr<std::atomic<long>> live)
      : spec_(shape), hwnd_(hwnd), live_(std::move(live)) {
    for (const AccNodeSpec& child : shape.children)
      children_.push_back(new Node(child, hwnd, live_));
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (riid == kIidIAccessible && spec_.null_accessible) return S_OK;
    if (riid == IID_IUnknown || riid == IID_IDispatch ||
        (riid == kIidIAccessible && !spec_.not_accessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (riid == IID_IEnumVARIANT) {
      *out = static_cast<IEnumVARIANT*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    if (refs_++ == 1) ++*live_;  // referenced from outside the tree
    return refs_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = --refs_;
    if (refs == 1) --*live_;
    if (refs == 0) {
      for (Node* child : children_) child->Release();
      delete this;
    }
    return refs;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return None(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    *count = 0;
    if (spec_.calls_fail) return E_FAIL;
    *count = static_cast<LONG>(children_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    *out = nullptr;
    if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<LONG>(children_.size())) {
      return E_INVALIDARG;
    }
    Node* node = children_[static_cast<size_t>(child.lVal - 1)];
    if (node->spec_.listed != AccListing::kObject) return S_FALSE;
    *out = static_cast<IAccessible*>(node);
    node->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    if (!IsSelf(child)) return E_INVALIDARG;
    if (spec_.name_destroys_window) DestroyWindow(*hwnd_);
    return Text(spec_.name, spec_.calls_fail, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    if (!IsSelf(child)) return E_INVALIDARG;
    return Text(spec_.value, spec_.calls_fail, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* out) override { return None(out); }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    VariantInit(out);
    if (!IsSelf(child) || spec_.calls_fail) return E_FAIL;
    return Integer(spec_.role, out);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    VariantInit(out);
    if (!IsSelf(child) || spec_.calls_fail) return E_FAIL;
    return Integer(spec_.state, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override { return None(out); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG*) override {
    return None(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override {
    return None(out);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return None(out); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return None(out); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* out) override { return None(out); }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG*, LONG*, LONG*, LONG*, VARIANT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT* out) override {
    return None(out, E_NOTIMPL);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG, LONG, VARIANT* out) override {
    return None(out, E_NOTIMPL);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  // IEnumVARIANT
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    if (fetched != nullptr) *fetched = 0;
    if (spec_.next_fails) return E_FAIL;
    ULONG n = 0;
    for (; n < count && cursor_ < children_.size(); ++n, ++cursor_) {
      Node* node = children_[cursor_];
      VariantInit(&out[n]);
      out[n].vt = node->spec_.listed == AccListing::kChildId ? VT_I4 : VT_DISPATCH;
      if (node->spec_.listed == AccListing::kChildId) {
        out[n].lVal = static_cast<LONG>(cursor_ + 1);
      } else if (node->spec_.listed == AccListing::kObject) {
        out[n].pdispVal = static_cast<IAccessible*>(node);
        node->AddRef();
      } else {
        out[n].pdispVal = nullptr;  // VariantInit sets only the type
      }
    }
    if (fetched != nullptr) *fetched = n + spec_.over_reported;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    cursor_ += count;
    return cursor_ <= children_.size() ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    cursor_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override { return None(out, E_NOTIMPL); }

 private:
  ~Node() = default;

  HRESULT Integer(LONG value, VARIANT* out) const {
    out->vt = VT_I4;
    out->lVal = value;
    return spec_.integer_type == VT_I4 ? S_OK : VariantChangeType(out, out, 0, spec_.integer_type);
  }

  const AccNodeSpec& spec_;
  HWND* hwnd_;
  std::shared_ptr<std::atomic<long>> live_;
  std::vector<Node*> children_;
  size_t cursor_ = 0;
  ULONG refs_ = 1;
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kDestroyMessage) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (message == WM_GETOBJECT && static_cast<LONG>(lparam) == OBJID_CLIENT) {
    auto* root = reinterpret_cast<IAccessible*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (root != nullptr) return LresultFromObject(kIidIAccessible, wparam, root);
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

const wchar_t* WindowClass() {
  static const wchar_t* const name = [] {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"OrvaneAccTestWindow";
    RegisterClassW(&window_class);
    return window_class.lpszClassName;
  }();
  return name;
}

}  // namespace

AccWindow::AccWindow(std::optional<AccNodeSpec> tree, DWORD apartment) {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this, tree = std::move(tree), apartment, ready]() mutable {
    Run(std::move(tree), apartment, ready);
  });
  WaitForSingleObject(ready, INFINITE);
  CloseHandle(ready);
}

AccWindow::~AccWindow() {
  PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
  thread_.join();
}

void AccWindow::Destroy() {
  SendMessageW(hwnd_, kDestroyMessage, 0, 0);
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);  // reached only if the message went nowhere
}

void AccWindow::Run(std::optional<AccNodeSpec> tree, DWORD apartment, HANDLE ready) {
  CoInitializeEx(nullptr, apartment);
  thread_id_ = GetCurrentThreadId();
  Node* root = nullptr;
  hwnd_ = CreateWindowExW(0, WindowClass(), L"Browser", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                          nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (tree) {
    root = new Node(*tree, &hwnd_, live_);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(root));
  }
  SetEvent(ready);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  if (root != nullptr) root->Release();
  CoUninitialize();
}

}  // namespace orvane::testing
