#pragma once

#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A window with an accessibility tree of the test's own, served from a thread of its own that
// keeps pumping messages, as a browser's would. Every call can be made to fail.
namespace orvane::testing {

// How a parent lists a child, in its enumerator and through get_accChild.
enum class AccListing {
  kObject,
  kChildId,     // a simple element: its child id (VT_I4), with no object of its own
  kNullObject,  // VT_DISPATCH with a null pointer, as a faulty server might list it
};

struct AccNodeSpec {
  AccNodeSpec(LONG node_role = 10, std::optional<std::wstring> node_name = std::nullopt,
              std::vector<AccNodeSpec> node_children = {})
      : role(node_role), name(std::move(node_name)), children(std::move(node_children)) {}

  LONG role = 10;                // ROLE_SYSTEM_CLIENT
  VARTYPE integer_type = VT_I4;  // the type that role and state are answered in
  LONG state = 0;
  std::optional<std::wstring> name;
  std::optional<std::wstring> value;
  // Every question about the node itself fails: role, state, name, value and child count.
  bool calls_fail = false;
  // The enumerator's Next fails, so AccessibleChildren does.
  bool next_fails = false;
  // Asked for IAccessible, the object answers E_NOINTERFACE (it is a plain IDispatch).
  bool not_accessible = false;
  // Asked for IAccessible, the object answers S_OK and a null pointer.
  bool null_accessible = false;
  AccListing listed = AccListing::kObject;
  // Reading this node's name destroys the window, as a browser closing mid-probe would.
  bool name_destroys_window = false;
  // The enumerator reports this many children more than it filled in.
  ULONG over_reported = 0;
  std::vector<AccNodeSpec> children;
};

class AccWindow {
 public:
  // Without a tree the window leaves WM_GETOBJECT to the system. A caller in the window thread's
  // apartment (`apartment` COINIT_MULTITHREADED) gets the tree's objects themselves, not proxies.
  explicit AccWindow(std::optional<AccNodeSpec> tree, DWORD apartment = COINIT_APARTMENTTHREADED);
  ~AccWindow();
  AccWindow(const AccWindow&) = delete;
  AccWindow& operator=(const AccWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Accessible objects of the tree still referenced from outside the window.
  long live_objects() const { return live_->load(); }
  // Destroys the window on its thread and waits for that.
  void Destroy();

 private:
  void Run(std::optional<AccNodeSpec> tree, DWORD apartment, HANDLE ready);

  std::shared_ptr<std::atomic<long>> live_ = std::make_shared<std::atomic<long>>(0);
  std::thread thread_;
  DWORD thread_id_ = 0;
  HWND hwnd_ = nullptr;
};

}  // namespace orvane::testing
