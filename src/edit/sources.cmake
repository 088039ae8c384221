list(APPEND KORVALO_CORE_SOURCES
  edit/commands.cpp edit/commands.h
  edit/document.cpp edit/document.h
  edit/editorstate.h)
list(APPEND KORVALO_CORE_SOURCES
  edit/sectors.cpp edit/sectors.h
  edit/selection.cpp edit/selection.h)
list(APPEND KORVALO_GUI_SOURCES
  edit/sectordialog.cpp edit/sectordialog.h
  edit/sectororderdialog.cpp edit/sectororderdialog.h
  edit/sectorselectioncommands.cpp edit/sectorselectioncommands.h)
