list(APPEND KORVALO_GUI_SOURCES
  app/mainwindow.cpp app/mainwindow.h)
