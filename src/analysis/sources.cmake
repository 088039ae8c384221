list(APPEND KORVALO_CORE_SOURCES
  analysis/inforeports.cpp analysis/inforeports.h
  analysis/nodetable.cpp analysis/nodetable.h)
