#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the probe asks of the platform's accessibility interfaces. The Windows adapters implement
// these with COM; tests implement them with recorded data. Every object is released when its
// owner is destroyed, so the order of release follows the scopes of the caller.
namespace orvane::url_probe {

// A pointer-sized window handle; null means no window.
using WindowHandle = void*;

// A platform call's result code (an HRESULT on Windows) and the object it produced, if any.
template <typename T>
struct PortResult {
  int32_t hr = 0;
  std::unique_ptr<T> object;
};

// Strings are nullopt when the call failed or gave no string.
using PortText = std::optional<std::u16string>;

class UiaValuePattern {
 public:
  virtual ~UiaValuePattern() = default;
  virtual PortText CurrentValue() = 0;
};

class UiaCondition {
 public:
  virtual ~UiaCondition() = default;
};

class UiaElementArray;

class UiaElement {
 public:
  virtual ~UiaElement() = default;
  virtual PortText CurrentName() = 0;
  virtual PortText CurrentClassName() = 0;
  virtual PortText CurrentAutomationId() = 0;
  // Every descendant that matches the condition; null when the call fails.
  virtual std::unique_ptr<UiaElementArray> FindAllDescendants(UiaCondition& condition) = 0;
  // Null when the element has no Value pattern or the call fails.
  virtual std::unique_ptr<UiaValuePattern> GetValuePattern() = 0;
};

class UiaElementArray {
 public:
  virtual ~UiaElementArray() = default;
  // 0 when the call fails.
  virtual int32_t Length() = 0;
  // Null when the call fails.
  virtual std::unique_ptr<UiaElement> GetElement(int32_t index) = 0;
};

class UiaAutomation {
 public:
  virtual ~UiaAutomation() = default;
  virtual PortResult<UiaElement> ElementFromHandle(WindowHandle hwnd) = 0;
  // The condition "control type is Edit"; null when it cannot be created.
  virtual std::unique_ptr<UiaCondition> CreateEditCondition() = 0;
};

// One accessible object, always asked about itself (CHILDID_SELF).
class AccObject {
 public:
  virtual ~AccObject() = default;
  // nullopt when the call fails or the answer is not a 32-bit integer.
  virtual std::optional<int32_t> Role() = 0;
  virtual std::optional<int32_t> State() = 0;
  virtual PortText Value() = 0;
  virtual PortText Name() = 0;
  // nullopt when the call fails.
  virtual std::optional<int32_t> ChildCount() = 0;
  // The first `count` children as the platform lists them, keeping only those that are objects
  // with an accessible interface; empty when the listing fails.
  virtual std::vector<std::unique_ptr<AccObject>> Children(int32_t count) = 0;
};

class ProbePlatform {
 public:
  virtual ~ProbePlatform() = default;
  // Joins the calling thread to a single-threaded apartment; returns the result code.
  virtual int32_t InitializeCom() = 0;
  virtual void UninitializeCom() = 0;
  virtual PortResult<UiaAutomation> CreateAutomation() = 0;
  // The accessible object of the window's client area.
  virtual PortResult<AccObject> AccessibleObjectFromWindow(WindowHandle hwnd) = 0;
  // Milliseconds, for the trace only.
  virtual uint32_t TickCount() = 0;
};

}  // namespace orvane::url_probe
