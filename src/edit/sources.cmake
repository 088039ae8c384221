list(APPEND KORVALO_CORE_SOURCES
  edit/commands.cpp edit/commands.h
  edit/document.cpp edit/document.h
  edit/editorstate.h)
list(APPEND KORVALO_CORE_SOURCES
  edit/sectors.cpp edit/sectors.h
  edit/selection.cpp edit/selection.h)
