list(APPEND KORVALO_CORE_SOURCES
  analysis/analysisreport.cpp analysis/analysisreport.h
  analysis/cardanalyses.cpp analysis/cardanalyses.h
  analysis/inforeports.cpp analysis/inforeports.h
  analysis/nodetable.cpp analysis/nodetable.h)
