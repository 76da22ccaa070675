/* Control interface of the UI Automation stand-in server: a test loads the DLL, registers it as
   CUIAutomation (DllRegisterServer, testing/standin_library.h), describes the window it should
   report and reads the counters afterwards. Without a scenario it fails, except where the
   environment variable ORVANE_UIA_SERVER_LIVE is set (the demo): there it serves the window asked
   about as that window is. */
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Which call about an Edit control fails. */
typedef enum UiaServerEditFailure {
  UIA_EDIT_SERVES = 0,
  UIA_EDIT_ELEMENT_FAILS = 1, /* the array's GetElement for its index */
  UIA_EDIT_PATTERN_FAILS = 2, /* GetCurrentPatternAs, handing out the pattern all the same */
} UiaServerEditFailure;

typedef struct UiaServerEdit {
  const wchar_t* automation_id; /* null: the property gives a null BSTR */
  const wchar_t* name;
  int has_value_pattern; /* 0: S_OK and no pattern, as the system answers */
  const wchar_t* value;
  UiaServerEditFailure fails;
} UiaServerEdit;

/* The one call that succeeds but hands back no object, as a faulty server might. */
typedef enum UiaServerNullAnswer {
  UIA_NULL_NONE = 0,
  UIA_NULL_AUTOMATION = 1, /* the class factory's CreateInstance */
  UIA_NULL_ROOT = 2,       /* ElementFromHandle */
  UIA_NULL_CONDITION = 3,  /* CreatePropertyCondition */
  UIA_NULL_FOUND = 4,      /* FindAll */
  UIA_NULL_ELEMENT = 5,    /* the array's GetElement, for every index */
} UiaServerNullAnswer;

typedef struct UiaServerScenario {
  const wchar_t* root_name;
  const wchar_t* root_class_name;
  int edit_count;
  const UiaServerEdit* edits;
  UiaServerNullAnswer null_answer;
  /* Called as a Value pattern hands out its value, on the caller's thread (the server's objects
     live in the caller's apartment): a test can make the caller run out of memory there. */
  void (*reading_value)(void);
} UiaServerScenario;

typedef struct UiaServerCounts {
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
