#pragma once

#include <windows.h>

#include <oaidl.h>

// The UI Automation client interfaces that the probe uses, declared here because the toolchain's
// header does not compile as C++. Every slot up to the last one called is present, in order;
// slots the probe never calls keep only their position (untyped pointer arguments).
namespace orvane::url_probe::uia {

// ff48dba4-60ef-4201-aa87-54103eef594e
inline constexpr CLSID kClsidCUIAutomation = {
    0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};
// 30cbe57d-d9d0-452a-ab13-7ac5ac4825ee
inline constexpr IID kIidIUIAutomation = {
    0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}};
// a94cd8b1-0844-4cd6-9d2d-640537ab39e9
inline constexpr IID kIidIUIAutomationValuePattern = {
    0xa94cd8b1, 0x0844, 0x4cd6, {0x9d, 0x2d, 0x64, 0x05, 0x37, 0xab, 0x39, 0xe9}};

inline constexpr int kTreeScopeDescendants = 4;
inline constexpr int kControlTypePropertyId = 30003;
inline constexpr int kEditControlTypeId = 50004;
inline constexpr int kValuePatternId = 10002;

struct IUIAutomationCondition : IUnknown {};

struct IUIAutomationValuePattern : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetValue(BSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentValue(BSTR* value) = 0;
};

struct IUIAutomationElementArray;

struct IUIAutomationElement : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetFocus() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRuntimeId(void* runtime_id) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindFirst(int scope, IUIAutomationCondition* condition,
                                              IUIAutomationElement** found) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAll(int scope, IUIAutomationCondition* condition,
                                            IUIAutomationElementArray** found) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindFirstBuildCache(int, void*, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAllBuildCache(int, void*, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE BuildUpdatedCache(void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(int, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPropertyValueEx(int, BOOL, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValue(int, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCachedPropertyValueEx(int, BOOL, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPatternAs(int pattern_id, REFIID riid,
                                                        void** pattern) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCachedPatternAs(int, REFIID, void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPattern(int, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCachedPattern(int, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCachedParent(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCachedChildren(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentProcessId(int*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentControlType(int*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentLocalizedControlType(BSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentAcceleratorKey(BSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentAccessKey(BSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentHasKeyboardFocus(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentIsKeyboardFocusable(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentIsEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentAutomationId(BSTR* automation_id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurrentClassName(BSTR* class_name) = 0;
};

struct IUIAutomationElementArray : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Length(int* length) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetElement(int index, IUIAutomationElement** element) = 0;
};

struct IUIAutomation : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CompareElements(void*, void*, BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareRuntimeIds(void*, void*, BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRootElement(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromHandle(void* hwnd,
                                                      IUIAutomationElement** element) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromPoint(POINT, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocusedElement(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRootElementBuildCache(void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromHandleBuildCache(void*, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE ElementFromPointBuildCache(POINT, void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocusedElementBuildCache(void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateTreeWalker(void*, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ControlViewWalker(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ContentViewWalker(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RawViewWalker(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RawViewCondition(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ControlViewCondition(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ContentViewCondition(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateCacheRequest(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateTrueCondition(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateFalseCondition(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreatePropertyCondition(int property_id, VARIANT value,
                                                            IUIAutomationCondition** condition) = 0;
};

}  // namespace orvane::url_probe::uia
