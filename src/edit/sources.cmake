list(APPEND KORVALO_CORE_SOURCES
  edit/commands.cpp edit/commands.h
  edit/document.cpp edit/document.h
  edit/editorstate.h)
