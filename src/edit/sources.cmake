list(APPEND KORVALO_CORE_SOURCES
  edit/autosaver.cpp edit/autosaver.h
  edit/cardedits.cpp edit/cardedits.h
  edit/commands.cpp edit/commands.h
  edit/document.cpp edit/document.h
  edit/editorstate.h
  edit/hittest.cpp edit/hittest.h
  edit/maptools.cpp edit/maptools.h
  edit/nodeform.cpp edit/nodeform.h
  edit/recovery.cpp edit/recovery.h)
list(APPEND KORVALO_GUI_SOURCES
  edit/linedialog.cpp edit/linedialog.h
  edit/mapediting.cpp edit/mapediting.h
  edit/nodedialog.cpp edit/nodedialog.h)
