/* A stand-in for the system's UI Automation object, serving a recorded window. Written against
   the interface declarations generated from Wine's IDL, so that it checks the probe's own
   declarations independently. Only the slots the probe may call are filled; any other call
   crashes, which a test reports. */
#define COBJMACROS
#define CINTERFACE
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <initguid.h>

#include "uia_server.h"
#include "uiautomationclient.h"

static const UiaServerScenario* scenario;
static UiaServerCounts counts;

/* Without a scenario, and only where ORVANE_UIA_SERVER_LIVE is set (the demo, where no test
   describes the window), the window asked about is served as it is: its title and class, and its
   first Edit child as the one Edit control, valued by its text. Read at each ElementFromHandle;
   the demo probes one window at a time. Anywhere else, creating the object without a scenario
   fails, so that a test that forgot to describe its window cannot pass on a live one. */
static wchar_t live_title[256], live_class[256], live_value[1024];
static UiaServerEdit live_edit = {NULL, NULL, 1, live_value, UIA_EDIT_SERVES};
static UiaServerScenario live = {live_title, live_class, 0, &live_edit, UIA_NULL_NONE, NULL};

static void ReadLiveWindow(HWND window) {
  HWND edit = FindWindowExW(window, NULL, L"Edit", NULL);
  DWORD_PTR length = 0;
  GetWindowTextW(window, live_title, 256);
  GetClassNameW(window, live_class, 256);
  /* The control's own text (another process's: GetWindowText would give only its caption). */
  live.edit_count = edit != NULL &&
                    SendMessageTimeoutW(edit, WM_GETTEXT, 1024, (LPARAM)live_value,
                                        SMTO_ABORTIFHUNG, 1000, &length) &&
                    length > 0;
}

enum {
  kTreeScopeDescendants = 4,
  kControlTypeProperty = 30003,
  kEditControlType = 50004,
  kValuePattern = 10002
};

/* Every object of this server: one interface, one reference count, an index into the scenario
   (-1 for the root). */
typedef struct Object {
  const void* vtbl;
  LONG refs;
  const IID* iid;
  int index;
} Object;

static Object* NewObject(const void* vtbl, const IID* iid, int index) {
  Object* object = (Object*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Object));
  object->vtbl = vtbl;
  object->refs = 1;
  object->iid = iid;
  object->index = index;
  InterlockedIncrement(&counts.live);
  return object;
}

static HRESULT STDMETHODCALLTYPE QueryInterfaceImpl(void* self, REFIID riid, void** out) {
  Object* object = (Object*)self;
  if (IsEqualIID(riid, &IID_IUnknown) || IsEqualIID(riid, object->iid)) {
    InterlockedIncrement(&object->refs);
    *out = self;
    return S_OK;
  }
  *out = NULL;
  return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE AddRefImpl(void* self) {
  return (ULONG)InterlockedIncrement(&((Object*)self)->refs);
}

static ULONG STDMETHODCALLTYPE ReleaseImpl(void* self) {
  Object* object = (Object*)self;
  if (object->refs <= 0) {
    InterlockedIncrement(&counts.over_released);
    return 0;
  }
  LONG refs = InterlockedDecrement(&object->refs);
  if (refs == 0) {
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    if (CoGetApartmentType(&type, &qualifier) == CO_E_NOTINITIALIZED) {
      InterlockedIncrement(&counts.released_outside_com);
    }
    InterlockedDecrement(&counts.live);
    /* Kept allocated, so that a late call shows up in the counters instead of as corruption. */
  }
  return (ULONG)refs;
}

/* IUnknown for each interface, typed as its vtable wants it. */
#define UNKNOWN_METHODS(Type)                                                          \
  static HRESULT STDMETHODCALLTYPE Type##Query(Type* self, REFIID riid, void** out) {  \
    return QueryInterfaceImpl(self, riid, out);                                        \
  }                                                                                    \
  static ULONG STDMETHODCALLTYPE Type##AddRef(Type* self) { return AddRefImpl(self); } \
  static ULONG STDMETHODCALLTYPE Type##Release(Type* self) { return ReleaseImpl(self); }
UNKNOWN_METHODS(IUIAutomationValuePattern)
UNKNOWN_METHODS(IUIAutomationCondition)
UNKNOWN_METHODS(IUIAutomationElement)
UNKNOWN_METHODS(IUIAutomationElementArray)
UNKNOWN_METHODS(IUIAutomation)
#undef UNKNOWN_METHODS

static HRESULT Text(const wchar_t* text, BSTR* out) {
  *out = text ? SysAllocString(text) : NULL;
  return S_OK;
}

/* The Edit control that `self` stands for: not for the root. */
static const UiaServerEdit* EditOf(void* self) { return &scenario->edits[((Object*)self)->index]; }
static int IsRoot(void* self) { return ((Object*)self)->index < 0; }

/* Value pattern */
static HRESULT STDMETHODCALLTYPE PatternValue(IUIAutomationValuePattern* self, BSTR* out) {
  if (scenario->reading_value) scenario->reading_value();
  return Text(EditOf(self)->value, out);
}
static IUIAutomationValuePatternVtbl pattern_vtbl;

/* Condition */
static IUIAutomationConditionVtbl condition_vtbl;

/* Elements: the root (index -1) and the Edit controls */
static IUIAutomationElementVtbl element_vtbl;
static IUIAutomationElementArrayVtbl array_vtbl;

static HRESULT STDMETHODCALLTYPE ElementName(IUIAutomationElement* self, BSTR* out) {
  return Text(IsRoot(self) ? scenario->root_name : EditOf(self)->name, out);
}
static HRESULT STDMETHODCALLTYPE ElementClassName(IUIAutomationElement* self, BSTR* out) {
  return Text(IsRoot(self) ? scenario->root_class_name : L"Edit", out);
}
static HRESULT STDMETHODCALLTYPE ElementAutomationId(IUIAutomationElement* self, BSTR* out) {
  return Text(IsRoot(self) ? L"" : EditOf(self)->automation_id, out);
}
static HRESULT STDMETHODCALLTYPE ElementFindAll(IUIAutomationElement* self, enum TreeScope scope,
                                                IUIAutomationCondition* condition,
                                                IUIAutomationElementArray** found) {
  *found = NULL;
  if ((int)scope != kTreeScopeDescendants || condition == NULL ||
      ((Object*)condition)->vtbl != &condition_vtbl || ((Object*)self)->index != -1) {
    InterlockedIncrement(&counts.unexpected_arguments);
    return E_INVALIDARG;
  }
  if (scenario->null_answer == UIA_NULL_FOUND) return S_OK;
  *found = (IUIAutomationElementArray*)NewObject(&array_vtbl, &IID_IUIAutomationElementArray, -1);
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE ElementPatternAs(IUIAutomationElement* self, PATTERNID pattern,
                                                  REFIID riid, void** out) {
  *out = NULL;
  if (pattern != kValuePattern || !IsEqualIID(riid, &IID_IUIAutomationValuePattern)) {
    InterlockedIncrement(&counts.unexpected_arguments);
    return E_INVALIDARG;
  }
  int index = ((Object*)self)->index;
  if (index < 0 || !scenario->edits[index].has_value_pattern) return S_OK;
  *out = NewObject(&pattern_vtbl, &IID_IUIAutomationValuePattern, index);
  return scenario->edits[index].fails == UIA_EDIT_PATTERN_FAILS ? E_FAIL : S_OK;
}

static HRESULT STDMETHODCALLTYPE ArrayLength(IUIAutomationElementArray* self, int* length) {
  (void)self;
  *length = scenario->edit_count;
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE ArrayElement(IUIAutomationElementArray* self, int index,
                                              IUIAutomationElement** element) {
  (void)self;
  *element = NULL;
  if (index < 0 || index >= scenario->edit_count) return E_INVALIDARG;
  if (scenario->edits[index].fails == UIA_EDIT_ELEMENT_FAILS) return E_FAIL;
  if (scenario->null_answer == UIA_NULL_ELEMENT) return S_OK;
  *element = (IUIAutomationElement*)NewObject(&element_vtbl, &IID_IUIAutomationElement, index);
  return S_OK;
}

/* The automation object */
static IUIAutomationVtbl automation_vtbl;

static HRESULT STDMETHODCALLTYPE AutomationFromHandle(IUIAutomation* self, UIA_HWND hwnd,
                                                      IUIAutomationElement** element) {
  (void)self;
  *element = NULL;
  if (!IsWindow((HWND)hwnd)) return 0x80040201; /* UIA_E_ELEMENTNOTAVAILABLE */
  if (scenario == &live) ReadLiveWindow((HWND)hwnd);
  if (scenario->null_answer == UIA_NULL_ROOT) return S_OK;
  *element = (IUIAutomationElement*)NewObject(&element_vtbl, &IID_IUIAutomationElement, -1);
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE AutomationPropertyCondition(IUIAutomation* self, PROPERTYID id,
                                                             VARIANT value,
                                                             IUIAutomationCondition** out) {
  (void)self;
  *out = NULL;
  if (id != kControlTypeProperty || V_VT(&value) != VT_I4 || V_I4(&value) != kEditControlType) {
    InterlockedIncrement(&counts.unexpected_arguments);
    return E_INVALIDARG;
  }
  if (scenario->null_answer == UIA_NULL_CONDITION) return S_OK;
  *out = (IUIAutomationCondition*)NewObject(&condition_vtbl, &IID_IUIAutomationCondition, -1);
  return S_OK;
}

static void FillVtables(void) {
#define UNKNOWN_SLOTS(vtbl, Type)      \
  (vtbl).QueryInterface = Type##Query; \
  (vtbl).AddRef = Type##AddRef;        \
  (vtbl).Release = Type##Release
  UNKNOWN_SLOTS(pattern_vtbl, IUIAutomationValuePattern);
  pattern_vtbl.get_CurrentValue = PatternValue;
  UNKNOWN_SLOTS(condition_vtbl, IUIAutomationCondition);
  UNKNOWN_SLOTS(element_vtbl, IUIAutomationElement);
  element_vtbl.get_CurrentName = ElementName;
  element_vtbl.get_CurrentClassName = ElementClassName;
  element_vtbl.get_CurrentAutomationId = ElementAutomationId;
  element_vtbl.FindAll = ElementFindAll;
  element_vtbl.GetCurrentPatternAs = ElementPatternAs;
  UNKNOWN_SLOTS(array_vtbl, IUIAutomationElementArray);
  array_vtbl.get_Length = ArrayLength;
  array_vtbl.GetElement = ArrayElement;
  UNKNOWN_SLOTS(automation_vtbl, IUIAutomation);
  automation_vtbl.ElementFromHandle = AutomationFromHandle;
  automation_vtbl.CreatePropertyCondition = AutomationPropertyCondition;
#undef UNKNOWN_SLOTS
}

void WINAPI uia_server_set_scenario(const UiaServerScenario* new_scenario) {
  FillVtables();
  scenario = new_scenario;
  ZeroMemory(&counts, sizeof counts);
}

/* The class factory */
static HRESULT STDMETHODCALLTYPE FactoryQueryInterface(IClassFactory* self, REFIID riid,
                                                       void** out) {
  if (IsEqualIID(riid, &IID_IUnknown) || IsEqualIID(riid, &IID_IClassFactory)) {
    *out = self;
    return S_OK;
  }
  *out = NULL;
  return E_NOINTERFACE;
}
/* AddRef and Release: the factory is static, its references change nothing. */
static ULONG STDMETHODCALLTYPE FactoryReference(IClassFactory* self) {
  (void)self;
  return 1;
}
static HRESULT STDMETHODCALLTYPE FactoryCreate(IClassFactory* self, IUnknown* outer, REFIID riid,
                                               void** out) {
  (void)self;
  *out = NULL;
  if (outer != NULL) return CLASS_E_NOAGGREGATION;
  if (scenario == NULL) {
    if (GetEnvironmentVariableW(L"ORVANE_UIA_SERVER_LIVE", NULL, 0) == 0) return E_UNEXPECTED;
    uia_server_set_scenario(&live);
  }
  if (!IsEqualIID(riid, &IID_IUIAutomation)) {
    InterlockedIncrement(&counts.unexpected_arguments);
    return E_NOINTERFACE;
  }
  if (scenario->null_answer == UIA_NULL_AUTOMATION) return S_OK;
  *out = NewObject(&automation_vtbl, &IID_IUIAutomation, -1);
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE FactoryLock(IClassFactory* self, BOOL lock) {
  (void)self;
  (void)lock;
  return S_OK;
}
static IClassFactoryVtbl factory_vtbl = {FactoryQueryInterface, FactoryReference, FactoryReference,
                                         FactoryCreate, FactoryLock};
static IClassFactory factory = {&factory_vtbl};

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (!IsEqualCLSID(clsid, &CLSID_CUIAutomation)) return CLASS_E_CLASSNOTAVAILABLE;
  return FactoryQueryInterface(&factory, riid, out);
}

/* The counters must outlive every apartment, so the module never unloads. */
HRESULT WINAPI DllCanUnloadNow(void) { return S_FALSE; }

#define CLASS_KEY L"Software\\Classes\\CLSID\\{ff48dba4-60ef-4201-aa87-54103eef594e}"

HRESULT WINAPI DllRegisterServer(void) {
  HMODULE self = NULL;
  wchar_t path[MAX_PATH];
  DWORD length;
  LONG result;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          (LPCWSTR)(void*)&DllRegisterServer, &self)) {
    return HRESULT_FROM_WIN32(GetLastError());
  }
  length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return E_FAIL; /* no path, or one cut short */
  result = RegSetKeyValueW(HKEY_LOCAL_MACHINE, CLASS_KEY L"\\InprocServer32", NULL, REG_SZ, path,
                           (length + 1) * sizeof(wchar_t));
  if (result == ERROR_SUCCESS) {
    result = RegSetKeyValueW(HKEY_LOCAL_MACHINE, CLASS_KEY L"\\InprocServer32", L"ThreadingModel",
                             REG_SZ, L"Both", sizeof(L"Both"));
  }
  /* Half a registration would outlive the test, which only undoes a successful one. */
  if (result != ERROR_SUCCESS) RegDeleteTreeW(HKEY_LOCAL_MACHINE, CLASS_KEY);
  return HRESULT_FROM_WIN32(result);
}

HRESULT WINAPI DllUnregisterServer(void) {
  return HRESULT_FROM_WIN32(RegDeleteTreeW(HKEY_LOCAL_MACHINE, CLASS_KEY));
}

void WINAPI uia_server_counts(UiaServerCounts* out) { *out = counts; }
