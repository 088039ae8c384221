list(APPEND KORVALO_CORE_SOURCES
  edit/autosaver.cpp edit/autosaver.h
  edit/commands.cpp edit/commands.h
  edit/document.cpp edit/document.h
  edit/editorstate.h
  edit/recovery.cpp edit/recovery.h)
