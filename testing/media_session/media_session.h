/* Control interface of the media-session stand-in (media_session.dll), which serves the Runtime
   classes Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager,
   Windows.Storage.Streams.Buffer and Windows.Storage.Streams.DataReader once registered in the
   test prefix (DllRegisterServer: the classes in the prefix's machine registry, with this DLL's
   path as their DllPath; tests call it through testing/standin_library.h, the demo through
   regsvr32).

   The session it reports comes from the script set in process (media_session_set_script) or,
   when none is set, from the UTF-8 text file that the environment variable
   ORVANE_MEDIA_SESSION_SCRIPT names, read again at every activation of the session manager
   class (once per poller pass), so a test may rewrite it while the host runs:
       title=Song
       artist=Band
       album=Album
       app_id=Spotify.exe
       status=playing           (or the number of the PlaybackStatus value)
       thumbnail=Z:\tmp\cover.png   (the thumbnail stream's bytes, read from that file)
       never=ReadAsync          (that operation does not complete: MEDIA_COMPLETE_NEVER; also
                                 RequestAsync, TryGetMediaPropertiesAsync or OpenReadAsync)
   One key=value per line; keys left out give null strings, status Closed (0) and no thumbnail.
   No variable, a missing file, or a line "session=none" give no current session.

   When the environment variable ORVANE_MEDIA_SESSION_REPORT names a file, the stand-in appends
   lines to it: "stuck" once an operation that does not complete has its handler, and, at each
   CoUninitialize call of the executable (once late completions have run), "counts " and the
   fields of MediaSessionCounts as name=value. While loaded, the stand-in watches
   the executable's WindowsDeleteString, CreateEventW, SetEvent and CloseHandle imports
   (live_strings, live_events; a SetEvent that fails, on a closed handle say, is unexpected). */
#pragma once

#include <windows.h>

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* How an asynchronous operation of the stand-in ends. */
typedef enum MediaSessionCompletion {
  MEDIA_COMPLETE_AT_ONCE = 0,       /* completed before it is handed out; the handler runs inside
                                       put_Completed */
  MEDIA_COMPLETE_LATER = 1,         /* completes on a thread of the stand-in's own */
  MEDIA_COMPLETE_ERROR = 2,         /* status Error, error code E_FAIL */
  MEDIA_COMPLETE_CANCELED = 3,      /* status Canceled */
  MEDIA_COMPLETE_ERROR_NO_CODE = 5, /* status Error, but the error code is S_OK */
  MEDIA_COMPLETE_NO_OPERATION = 6,  /* the call succeeds without handing out an operation, as a
                                       broken component might */
  MEDIA_COMPLETE_NEVER = 7,         /* does not complete unless cancelled; then completes as
                                       cancelled, on a thread of its own, after a short delay */
} MediaSessionCompletion;

typedef struct MediaSessionScript {
  int has_session;       /* GetCurrentSession gives null when 0 */
  int has_playback_info; /* GetPlaybackInfo gives null when 0 */
  const wchar_t* title;  /* null: a null HSTRING */
  const wchar_t* artist;
  const wchar_t* album;
  const wchar_t* app_id;
  INT32 playback_status;
  int has_thumbnail;                 /* get_Thumbnail gives null when 0 */
  const BYTE* thumbnail;             /* thumbnail_length bytes; null only with a length of 0 */
  UINT32 thumbnail_length;           /* the stream's Size */
  int read_returns_other_buffer;     /* ReadAsync fills and returns a buffer of its own, leaving the
                                        caller's empty */
  int read_returns_no_buffer;        /* ReadAsync fills the caller's buffer and returns none */
  MediaSessionCompletion request;    /* RequestAsync */
  MediaSessionCompletion properties; /* TryGetMediaPropertiesAsync */
  MediaSessionCompletion open;       /* OpenReadAsync */
  MediaSessionCompletion read;       /* ReadAsync */
  const char* failing_call; /* every call of this name in the call log fails (a query finds no
                               interface, anything else gives E_UNEXPECTED); "CreateEventW",
                               "WaitForMultipleObjects" or "WaitForSingleObject": the program's
                               next call of it fails */
} MediaSessionScript;

typedef struct MediaSessionCounts {
  LONG live;               /* objects not yet released to zero */
  LONG over_released;      /* Release calls on an object already at zero */
  LONG used_after_release; /* calls on an object already released to zero */
  LONG unexpected_calls;   /* calls or arguments the real classes would reject, activations
                              outside the multithreaded apartment, and failed SetEvent calls */
  LONG live_strings;       /* HSTRINGs handed out and not yet deleted by the executable */
  LONG live_events;        /* events the executable created and has not closed */
  LONG cancels;            /* IAsyncInfo::Cancel calls */
  LONG mta_left;           /* the executable's CoUninitialize calls that left the multithreaded
                              apartment (counted while reporting) */
} MediaSessionCounts;

/* Copies the script (null: back to the file named by the environment) and clears the call log.
   Waits for operations still completing on the stand-in's threads first. */
typedef void(WINAPI* MediaSessionSetScriptFn)(const MediaSessionScript* script);
/* Waits for operations still completing on the stand-in's threads, then reads the counters. */
typedef void(WINAPI* MediaSessionCountsFn)(MediaSessionCounts* counts);
/* The calls since the last media_session_set_script, separated by single spaces: method names,
   "Activate:" and the class's last name for an activation, "QueryInterface:" and the interface
   for queries that the caller makes ("Activate:SessionManager RequestAsync put_Completed ...");
   copies at most `capacity` - 1 characters and a terminating zero, and returns the full length. */
typedef size_t(WINAPI* MediaSessionCallsFn)(char* out, size_t capacity);

#ifdef __cplusplus
}
#endif
