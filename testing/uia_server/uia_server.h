/* Control interface of the UI Automation stand-in server: a test loads the DLL, describes the
   window it should report, registers it as CUIAutomation and reads the counters afterwards. */
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct UiaServerEdit {
  const wchar_t* automation_id; /* null: the property gives a null BSTR */
  const wchar_t* name;
  int has_value_pattern;
  const wchar_t* value;
  int element_fails; /* GetElement fails for this index */
} UiaServerEdit;

typedef struct UiaServerScenario {
  const wchar_t* root_name;
  const wchar_t* root_class_name;
  HRESULT condition_hr; /* a failure code makes CreatePropertyCondition fail */
  HRESULT find_all_hr;
  int edit_count;
  const UiaServerEdit* edits;
  HRESULT create_hr; /* a failure code makes creating the automation object fail */
  HRESULT length_hr; /* a failure code makes the array's get_Length fail */
} UiaServerScenario;

typedef struct UiaServerCounts {
  LONG created;              /* objects handed out */
  LONG live;                 /* objects not yet released to zero */
  LONG over_released;        /* Release calls on an object already at zero */
  LONG released_outside_com; /* final releases on a thread without COM */
  LONG unexpected_arguments; /* calls whose arguments were not the expected ones */
} UiaServerCounts;

typedef void(WINAPI* UiaServerSetScenarioFn)(const UiaServerScenario* scenario);
typedef void(WINAPI* UiaServerCountsFn)(UiaServerCounts* counts);

#ifdef __cplusplus
}
#endif
